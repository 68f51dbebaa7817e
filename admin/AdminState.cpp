#include "admin/AdminState.h"

#include <QCoreApplication>

QString AdminState::programFolder() const {
    return m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
}

AdminState& adminState() {
    static AdminState state;
    return state;
}
