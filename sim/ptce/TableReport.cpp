#include "sim/ptce/TableReport.h"

#include <QStringList>
#include <optional>

#include "platform/csv.h"

namespace ptce {

namespace {

using Field = std::optional<QString>;

const QStringList kHeader = {
    QStringLiteral("roomno"),      QStringLiteral("otherroomno"), QStringLiteral("Extension1"),
    QStringLiteral("Extension2"),  QStringLiteral("Extension3"),  QStringLiteral("Extension4"),
    QStringLiteral("Extension5"),  QStringLiteral("firstname"),   QStringLiteral("lastname"),
    QStringLiteral("Language"),    QStringLiteral("Password"),    QStringLiteral("OccStatus"),
    QStringLiteral("upd_by_ptce"), QStringLiteral("upd_by_vms"),  QStringLiteral("UnreadMsgCount")};

std::vector<Field> fields(const RoomRow& row) {
    std::vector<Field> result{row.roomno, row.otherroomno};
    for (const Field& extension : row.extensions) result.push_back(extension);
    result.push_back(row.guest.firstName);
    result.push_back(row.guest.lastName);
    result.push_back(row.guest.language ? Field(QString::number(*row.guest.language))
                                        : std::nullopt);
    result.push_back(row.guest.password);
    result.push_back(row.occStatus);
    result.push_back(QString::number(row.updByPtce));
    result.push_back(QString::number(row.updByVms));
    result.push_back(QString::number(row.unreadMsgCount));
    return result;
}

QString csvField(const Field& field) { return field ? platform::csv::field(*field, true) : QString(); }

}  // namespace

QString formatTable(const std::vector<RoomRow>& rows) {
    std::vector<QStringList> lines{kHeader};
    for (const RoomRow& row : rows) {
        QStringList line;
        for (const Field& field : fields(row)) line << field.value_or(QStringLiteral("NULL"));
        lines.push_back(line);
    }
    std::vector<qsizetype> widths(size_t(kHeader.size()), 0);
    for (const QStringList& line : lines)
        for (qsizetype i = 0; i < line.size(); ++i)
            widths[size_t(i)] = qMax(widths[size_t(i)], line[i].size());

    QString out;
    for (const QStringList& line : lines) {
        QString text;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (i > 0) text += QStringLiteral("  ");
            text += line[i].leftJustified(widths[size_t(i)]);
        }
        while (text.endsWith(QLatin1Char(' '))) text.chop(1);  // no padding after the last column
        out += text + QLatin1Char('\n');
    }
    return out;
}

QString formatCsv(const std::vector<RoomRow>& rows) {
    QString out = kHeader.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const RoomRow& row : rows) {
        QStringList line;
        for (const Field& field : fields(row)) line << csvField(field);
        out += line.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out;
}

}  // namespace ptce
