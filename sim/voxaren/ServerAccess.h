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

#include "platform/db/connection.h"

namespace voxaren {

// The connection string the system uses for the server on this machine.
inline const QString kLocalConnection = QStringLiteral("Driver={SQL Server};server=;database=VoxarenDb");

// Makes this machine's server reachable for the program: registers the
// connection resolver and the procedures, installs the server's object
// locator (notifier, messaging sessions) and answers for the state of its
// database service "MSSQLSERVER". Once per program at start (calling it again
// does no harm).
void installServerAccess();

// The resolver itself: raises platform::Error (0x80004005) for a host that
// cannot be reached, another database than VoxarenDb, or a missing file.
platform::db::ConnectionSpec resolveServer(const platform::db::ConnectionSpec& requested);

bool isLocalServerName(const QString& host);

// State of the local database service "MSSQLSERVER", as the service manager
// reports it: running while this machine's server database opens, stopped
// otherwise.
constexpr int kServiceStopped = 1;
constexpr int kServiceRunning = 4;
int databaseServiceState();

}  // namespace voxaren
