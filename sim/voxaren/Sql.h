#pragma once
// Bound statements on the server's database, for the procedures and the
// stand-in's own tools. Every value is a bound parameter; failures raise
// platform::Error with the database's own number and text.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>

#include "platform/error.h"

namespace voxaren::sql {

// Number of the errors the server's procedures raise themselves (a refused
// request, as opposed to a failing statement).
constexpr int kRefused = 50000;

platform::Error refused(const QString& why);

// Runs a statement; the returned query is positioned before its first row.
QSqlQuery exec(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
// The first column of the first row, or an invalid QVariant when there is none.
QVariant scalar(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
// Rows changed by a statement.
int change(QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// NULL as a bound text value.
QVariant nullText();
// Runs `work` as one unit: kept when it returns, undone when it throws. A
// transaction of its own, or a savepoint inside the caller's.
void asOneUnit(QSqlDatabase& db, const std::function<void()>& work);

}  // namespace voxaren::sql
