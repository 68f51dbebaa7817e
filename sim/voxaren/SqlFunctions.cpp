#include "sim/voxaren/SqlFunctions.h"

#include <QSqlDriver>
#include <sqlite3.h>

#include "platform/clock.h"
#include "platform/db/connection.h"
#include "platform/error.h"

namespace voxaren {

namespace {

void locationInScope(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    sqlite3* db = sqlite3_context_db_handle(context);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT InScope FROM Location WHERE LocationObjectID = ?1", -1, &statement,
                           nullptr) != SQLITE_OK) {
        sqlite3_result_error(context, sqlite3_errmsg(db), -1);
        return;
    }
    sqlite3_bind_value(statement, 1, argv[0]);
    const int step = sqlite3_step(statement);
    const int inScope = step == SQLITE_ROW && sqlite3_column_int(statement, 0) != 0 ? 1 : 0;
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        sqlite3_result_error(context, sqlite3_errmsg(db), -1);
    } else {
        sqlite3_result_int(context, inScope);
    }
    sqlite3_finalize(statement);
}

void clockMs(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_int64(context, platform::clock().now().toMSecsSinceEpoch());
}

}  // namespace

sqlite3* sqliteHandle(QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    sqlite3* raw = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                       ? *static_cast<sqlite3* const*>(handle.constData())
                       : nullptr;
    if (!raw)
        throw platform::Error(platform::db::errors::ConnectionFailed,
                              QStringLiteral("[Voxaren] The server's database is not an open SQLite connection"));
    return raw;
}

void registerServerFunctions(QSqlDatabase& db) {
    sqlite3* raw = sqliteHandle(db);
    // Innocuous: views may call them whatever the connection's schema trust.
    const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS;
    if (sqlite3_create_function(raw, "fn_LocationInScope", 2, flags, nullptr, locationInScope, nullptr, nullptr) !=
            SQLITE_OK ||
        sqlite3_create_function(raw, "voxaren_clock_ms", 0, flags, nullptr, clockMs, nullptr, nullptr) != SQLITE_OK)
        throw platform::Error(platform::db::errors::ConnectionFailed,
                              QStringLiteral("[Voxaren] Cannot register the server's functions: ") +
                                  QString::fromUtf8(sqlite3_errmsg(raw)));
}

}  // namespace voxaren
