#include "admin/ctl/CsvText.h"

#include <algorithm>

#include "platform/csv.h"

namespace ctl {

QString csvText(const QStringList& header, const std::vector<QStringList>& rows) {
    QString text = platform::csv::record(header);
    for (const QStringList& row : rows) text += platform::csv::record(row);
    return text;
}

QString alignedText(const QStringList& header, const std::vector<QStringList>& rows) {
    std::vector<qsizetype> widths;
    for (const QString& h : header) widths.push_back(h.size());
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size() && i < qsizetype(widths.size()); ++i)
            widths[size_t(i)] = std::max(widths[size_t(i)], row[i].size());
    auto line = [&](const QStringList& fields) {
        QString text;
        for (qsizetype i = 0; i < fields.size(); ++i)
            text += i + 1 < fields.size() ? fields[i].leftJustified(widths[size_t(i)] + 2) : fields[i];
        return text + QLatin1Char('\n');
    };
    QString text = line(header);
    for (const QStringList& row : rows) text += line(row);
    return text;
}

}  // namespace ctl
