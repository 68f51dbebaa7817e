#include "admin/core/AdminState.h"

#include <QCoreApplication>

#include "admin/core/AdminEnv.h"

QString AdminState::programFolder() const {
    return m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
}

QString AdminState::storedPmsServer() const { return LoadAdminSettings(programFolder()).PrecipiaServerName.trimmed(); }

AdminState& adminState() { return adminEnv().state; }

void writeAdminLog(QString text, bool stamp) {
    if (AdminLog* log = adminState().log.get()) log->Write(text, stamp);
}
