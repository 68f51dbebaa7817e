#include "platform/db/rowwriter.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQuery>
#include <functional>
#include <mutex>

#include "platform/db/connection.h"
#include "platform/env.h"

namespace platform::db {

namespace {

QString quoted(const QSqlDatabase& db, const QString& identifier) {
    return db.driver()->escapeIdentifier(identifier, QSqlDriver::FieldName);
}

QString quotedTable(const QSqlDatabase& db, const QString& table) {
    return db.driver()->escapeIdentifier(table, QSqlDriver::TableName);
}

// "col IS ?" (SQLite) or "col <=> ?" (MySQL): equal, NULL included.
QString nullSafeEquals(const QSqlDatabase& db, const QString& column) {
    return quoted(db, column) + (isMySql(db) ? QStringLiteral(" <=> ?") : QStringLiteral(" IS ?"));
}

// The WHERE clause and its values that pick out the row as it was read.
QString rowCondition(const QSqlDatabase& db, const RowImage& row, QVariantList& binds) {
    QStringList parts;
    const bool byKey = !row.keyColumns.isEmpty();
    for (int i = 0; i < row.columns.size(); ++i) {
        if (byKey && !row.keyColumns.contains(row.columns[i], Qt::CaseInsensitive)) continue;
        parts << nullSafeEquals(db, row.columns[i]);
        binds << bindable(row.original[i]);
    }
    return parts.join(QStringLiteral(" AND "));
}

void run(QSqlDatabase& db, const QString& sql, const QVariantList& binds, QSqlQuery& query) {
    query = QSqlQuery(db);
    if (!query.prepare(sql)) throw databaseError(query.lastError());
    for (const QVariant& v : binds) query.addBindValue(v);
    if (!query.exec()) throw databaseError(query.lastError());
}

// Starts the transaction a change runs in; false when the database takes
// none (or is in one already). A link found gone here is raised: nothing that
// changes data has been sent yet.
bool begin(QSqlDatabase& db) {
    if (db.transaction()) return true;
    const QSqlError error = db.lastError();
    bool numbered = false;
    const int number = error.nativeErrorCode().toInt(&numbered);
    if (numbered && isLinkLost(number)) throw databaseError(error);
    return false;
}

// Commits what begin started; from here the change may have been made.
void commit(QSqlDatabase& db, bool inTransaction, Attempt& attempt) {
    if (!inTransaction) return;
    attempt.changing();
    if (!db.commit()) throw databaseError(db.lastError());
}

// Runs `sql` in a transaction of its own, undoing it when it fails; returns
// the finished query to `inspect`, which may raise to undo it as well.
void runChange(QSqlDatabase& db, const QString& sql, const QVariantList& binds, Attempt& attempt,
               const std::function<void(QSqlQuery&)>& inspect) {
    refuseUnlessAllowed();
    const bool inTransaction = begin(db);
    QSqlQuery query(db);
    try {
        if (!inTransaction) attempt.changing();
        run(db, sql, binds, query);
        inspect(query);
    } catch (...) {
        query = QSqlQuery();
        if (inTransaction) db.rollback();
        throw;
    }
    query = QSqlQuery();
    commit(db, inTransaction, attempt);
}

// Runs a statement that must touch exactly one row, undoing it otherwise.
void changeOneRow(QSqlDatabase& db, const QString& sql, const QVariantList& binds, Attempt& attempt) {
    runChange(db, sql, binds, attempt, [](QSqlQuery& query) {
        const int affected = query.numRowsAffected();
        if (affected == 0)
            throw Error(errors::RowNotFound,
                        QStringLiteral("Row cannot be located for updating. Some values may have been "
                                       "changed since it was last read."));
        if (affected != 1)
            throw Error(errors::ConnectionFailed,
                        QStringLiteral("Insufficient key column information for updating or refreshing."));
    });
}

}  // namespace

void refuseUnlessAllowed() {
    if (!env().writeAllowed()) throw Error(errors::WriteRefused, QStringLiteral("The write was refused."));
}

QVariant bindable(const QVariant& value) {
    if (value.isNull()) return QVariant(QMetaType::fromType<QString>());
    // A null QString inside a non-null variant would be bound as NULL.
    if (value.typeId() == QMetaType::QString && value.toString().isNull()) return QVariant(QStringLiteral(""));
    return value;
}

QString updatableTable(const QString& sql) {
    static const QRegularExpression single(
        QStringLiteral("^\\s*select\\s.*?\\sfrom\\s+([A-Za-z_][\\w.]*)\\s*(?:$|where\\s|order\\s|group\\s)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = single.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

QStringList primaryKey(const QSqlDatabase& db, const QString& table) {
    static std::mutex mutex;
    static QHash<QString, QStringList> cache;
    const QString cacheKey = db.driverName() + QLatin1Char('|') + db.hostName() + QLatin1Char('|') +
                             QString::number(db.port()) + QLatin1Char('|') + db.databaseName() +
                             QLatin1Char('|') + table.toLower();
    {
        std::lock_guard lock(mutex);
        if (auto it = cache.constFind(cacheKey); it != cache.constEnd()) return *it;
    }
    QStringList key;
    const QSqlIndex index = db.primaryIndex(table);
    for (int i = 0; i < index.count(); ++i) key << index.fieldName(i);
    std::lock_guard lock(mutex);
    cache.insert(cacheKey, key);
    return key;
}

void writeUpdate(QSqlDatabase& db, const RowImage& row, Attempt& attempt) {
    QStringList sets;
    QVariantList binds;
    for (int i = 0; i < row.columns.size(); ++i) {
        if (!row.changed[i]) continue;
        sets << quoted(db, row.columns[i]) + QStringLiteral(" = ?");
        binds << bindable(row.values[i]);
    }
    if (sets.isEmpty()) return;
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(quotedTable(db, row.table), sets.join(QStringLiteral(", ")),
                                 rowCondition(db, row, binds));
    changeOneRow(db, sql, binds, attempt);
}

QVariant writeInsert(QSqlDatabase& db, const RowImage& row, Attempt& attempt) {
    QStringList names, marks;
    QVariantList binds;
    for (int i = 0; i < row.columns.size(); ++i) {
        if (!row.changed[i]) continue;
        names << quoted(db, row.columns[i]);
        marks << QStringLiteral("?");
        binds << bindable(row.values[i]);
    }
    const QString sql = names.isEmpty()
                            ? QString::fromLatin1(isMySql(db) ? "INSERT INTO %1 () VALUES ()"
                                                              : "INSERT INTO %1 DEFAULT VALUES")
                                  .arg(quotedTable(db, row.table))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(quotedTable(db, row.table), names.join(QStringLiteral(", ")),
                                       marks.join(QStringLiteral(", ")));
    QVariant id;
    runChange(db, sql, binds, attempt, [&id](QSqlQuery& query) { id = query.lastInsertId(); });
    return id;
}

void writeDelete(QSqlDatabase& db, const RowImage& row, Attempt& attempt) {
    QVariantList binds;
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2")
                            .arg(quotedTable(db, row.table), rowCondition(db, row, binds));
    changeOneRow(db, sql, binds, attempt);
}

}  // namespace platform::db
