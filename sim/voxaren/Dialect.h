#pragma once
// What the callers' statements, written for the server's own SQL dialect,
// need to run on SQLite, and which table stands behind each view.
#include <QString>

namespace voxaren {

// Two rewrites, outside quoted text only: the owner prefix "dbo." is dropped
// (the server's functions are plain SQL functions here), and a statement
// "INSERT table (...)" gets its INTO. Anything else is left as written.
QString translateSql(const QString& sql);

// The base table whose rows a view shows one to one, so a recordset opened on
// the view writes its changes there; "" for a view without one (or a table).
QString baseTableOf(const QString& view);

}  // namespace voxaren
