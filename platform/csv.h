#pragma once
// Comma-separated values as RFC 4180 writes them: fields joined by commas,
// records ended by CR LF, a field quoted when it holds a comma, a quote or a
// line break, its quotes doubled.
#include <QString>
#include <QStringList>

namespace platform::csv {

// One field. `quoteEmpty` quotes empty text too, for tables where an empty
// field means NULL and "" means empty text.
QString field(const QString& value, bool quoteEmpty = false);

// One record: the fields, each written by field(), and CR LF.
QString record(const QStringList& fields);

}  // namespace platform::csv
