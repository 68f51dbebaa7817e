#pragma once
// The simple criteria texts of filters and finds:
//   col op 'text' | col op number   [and col op ... ]
// with op one of = <> < > <= >=. Text columns compare as text (ignoring
// letter case), numeric columns as numbers; a NULL value never matches.
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace platform::db {

enum class CompareOp { Eq, Ne, Lt, Gt, Le, Ge };

struct Condition {
    int column = -1;
    CompareOp op = CompareOp::Eq;
    QString literal;  // the value as written, unquoted
    std::optional<double> number;  // the literal read as a number, when it is one
};

struct Criteria {
    std::vector<Condition> conditions;  // all must hold
    bool empty() const { return conditions.empty(); }
    // A single "col = value": what an equality index can answer.
    bool isSingleEquality() const { return conditions.size() == 1 && conditions[0].op == CompareOp::Eq; }
};

// Parses `text`; columnIndex maps a column name to its index (-1 when unknown).
// Raises platform::Error 3001 for a text it cannot read or an unknown column.
Criteria parseCriteria(const QString& text, const std::function<int(const QString&)>& columnIndex);

// Whether one value satisfies a condition, comparing as the column's kind.
bool conditionHolds(const Condition& condition, const QVariant& value, bool numericColumn);

// The key under which an equality index files a value (and looks up a
// literal). On a numeric column a value that is not a number has none: like
// conditionHolds, it never equals anything.
std::optional<QString> equalityKey(const QVariant& value, bool numericColumn);
std::optional<QString> equalityKey(const QString& literal, bool numericColumn);

}  // namespace platform::db
