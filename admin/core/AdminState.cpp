#include "admin/core/AdminState.h"

#include "admin/core/AdminEnv.h"

QString storedPmsServer() {
    return LoadAdminSettings(adminEnv().programFolder()).PrecipiaServerName.trimmed();
}

void AdminState::writeLog(QString text, bool stamp) const {
    if (log) log->Write(text, stamp);
}
