#pragma once
// The SQL functions of the server that SQLite lacks, registered on every
// connection to the server's database:
//   fn_LocationInScope(locationId, level)  1 for a location inside this
//       server's scope, 0 otherwise (also for an unknown or NULL location).
//       The level (the callers ask 1, the dialing domain) does not matter:
//       this server has one scope.
//   voxaren_clock_ms()  the server's clock (platform::clock()) in ms since the
//       epoch; vw_DirectorySyncTicket reads it.
#include <QSqlDatabase>

struct sqlite3;

namespace voxaren {

// The SQLite handle of an open connection; raises platform::Error otherwise.
sqlite3* sqliteHandle(QSqlDatabase& db);

// Raises platform::Error when the connection is not an open SQLite one.
void registerServerFunctions(QSqlDatabase& db);

}  // namespace voxaren
