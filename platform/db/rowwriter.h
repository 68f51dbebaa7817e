#pragma once
// Writing one changed row of a recordset back to its table: an UPDATE of the
// changed columns, an INSERT or a DELETE, each identified by the table's
// primary key or, where the recordset lacks it, by the row's original values.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "platform/db/connection.h"

namespace platform::db {

struct RowImage {
    QString table;
    QStringList columns;           // the recordset's columns
    QStringList keyColumns;        // the table's primary key, when all are in `columns`
    QVector<QVariant> original;    // as read
    QVector<QVariant> values;      // as now
    std::vector<bool> changed;     // per column
};

// The one table a query reads from, or "" when it reads several (or none).
QString updatableTable(const QString& sql);

// The primary-key columns of a table (cached per database and table).
QStringList primaryKey(const QSqlDatabase& db, const QString& table);

// Each runs in a transaction of its own and raises platform::Error: the
// database's own error, or "row cannot be located" when the row is gone or no
// longer unique. `attempt` learns when the change may have been made.
void writeUpdate(QSqlDatabase& db, const RowImage& row, Attempt& attempt);
QVariant writeInsert(QSqlDatabase& db, const RowImage& row, Attempt& attempt);  // the new row's id, if any
void writeDelete(QSqlDatabase& db, const RowImage& row, Attempt& attempt);

// A value as it must be bound so that "" stays "" and NULL stays NULL.
QVariant bindable(const QVariant& value);

// Raises WriteRefused when the environment allows no write (a test's kill).
void refuseUnlessAllowed();

}  // namespace platform::db
