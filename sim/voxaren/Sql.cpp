#include "sim/voxaren/Sql.h"

#include <QSqlError>
#include <sqlite3.h>

#include "platform/db/connection.h"
#include "platform/db/rowwriter.h"
#include "sim/voxaren/SqlFunctions.h"

namespace voxaren::sql {

platform::Error refused(const QString& why) { return platform::Error(kRefused, why); }

QSqlQuery exec(QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) throw platform::db::databaseError(query.lastError());
    for (const QVariant& v : values) query.addBindValue(platform::db::bindable(v));
    if (!query.exec()) throw platform::db::databaseError(query.lastError());
    return query;
}

QVariant scalar(QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    QSqlQuery query = exec(db, sql, values);
    return query.next() ? query.value(0) : QVariant();
}

int change(QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    return exec(db, sql, values).numRowsAffected();
}

QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }

void asOneUnit(QSqlDatabase& db, const std::function<void()>& work) {
    // Outside a transaction, take the write lock first: another program may
    // write between this one's reads and its writes.
    const bool outermost = sqlite3_get_autocommit(sqliteHandle(db)) != 0;
    exec(db, outermost ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT voxaren_procedure"));
    try {
        work();
    } catch (...) {
        QSqlQuery undo(db);
        if (outermost) {
            undo.exec(QStringLiteral("ROLLBACK"));
        } else {
            undo.exec(QStringLiteral("ROLLBACK TO voxaren_procedure"));
            undo.exec(QStringLiteral("RELEASE voxaren_procedure"));
        }
        throw;
    }
    exec(db, outermost ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE voxaren_procedure"));
}

}  // namespace voxaren::sql
