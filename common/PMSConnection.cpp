#include "common/PMSConnection.h"

QString PMSConnectionString(const QString& serverName) {
    return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=") + serverName.trimmed() +
           QStringLiteral(";DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3");
}
