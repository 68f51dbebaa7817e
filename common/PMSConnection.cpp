#include "common/PMSConnection.h"

#include "platform/db/connection.h"

QString PMSConnectionString(const QString& serverName) {
    // Quoted where it must be, so that a setting holding ";" can name only
    // the server, never another account or database.
    return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=") +
           platform::db::connectionStringValue(serverName.trimmed()) +
           QStringLiteral(";DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3");
}
