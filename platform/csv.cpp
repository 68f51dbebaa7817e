#include "platform/csv.h"

namespace platform::csv {

QString field(const QString& value, bool quoteEmpty) {
    bool quote = quoteEmpty && value.isEmpty();
    for (const QChar c : value)
        quote = quote || c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    if (!quote) return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString record(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) line += QLatin1Char(',');
        line += field(fields[i]);
    }
    return line + QStringLiteral("\r\n");
}

}  // namespace platform::csv
