#include "admin/AdminState.h"

#include <QCoreApplication>

#include "admin/AdminEnv.h"

QString AdminState::programFolder() const {
    return m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
}

AdminState& adminState() { return adminEnv().state; }
