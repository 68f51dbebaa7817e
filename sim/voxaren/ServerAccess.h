#pragma once
// How the system's programs reach the server: the connection strings
// "Driver={SQL Server};server=HOST;database=VoxarenDb" and
// "Provider=SQLOLEDB.1;...;Initial Catalog=VoxarenDb;Data Source=HOST" open
// the server's SQLite database named in the registry store (ServerIdentity.h),
// with the server's SQL functions, its dialect and its views' base tables;
// stored-procedure commands on them run the server's procedures.
//
// HOST is this machine when empty, ".", "(local)", "localhost" or the
// computer's name; any other host only when listed under
// SOFTWARE\Brightkeel\Corevane\1.0\Servers\<HOST>.
#include <QString>

#include "common/SystemEnv.h"
#include "common/VoiceServerConnection.h"
#include "platform/db/connection.h"

namespace voxaren {

// The connection string the system uses for the server on this machine.
inline const QString kLocalConnection = kLocalVoiceServerConnection;

// Makes this machine's server reachable in a program's environment: the
// connection resolver and the procedures, the server's object locator
// (notifier, messaging sessions) and the state of its database service
// "MSSQLSERVER". Called where the program is wired together.
void installServerAccess(SystemEnv& env);

// The resolver itself: raises platform::Error (0x80004005) for a host that
// cannot be reached, another database than VoxarenDb, or a missing file.
platform::db::ConnectionSpec resolveServer(const platform::db::ConnectionSpec& requested);

bool isLocalServerName(const QString& host);

// State of the local database service "MSSQLSERVER", as the service manager
// reports it: running while this machine's server database opens, stopped
// otherwise.
int databaseServiceState();

}  // namespace voxaren
