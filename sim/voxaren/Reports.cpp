#include "sim/voxaren/Reports.h"

#include <QSqlQuery>
#include <functional>

#include "platform/datefmt.h"
#include "sim/voxaren/DirectorySync.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/Sql.h"

namespace voxaren {

namespace {

QString field(const QVariant& value) { return value.isNull() ? QStringLiteral("NULL") : value.toString(); }

QString lamp(const QVariant& on) {
    if (on.isNull()) return QStringLiteral("none");
    return on.toBool() ? QStringLiteral("on") : QStringLiteral("off");
}

std::vector<QStringList> rowsOf(QSqlQuery& q, const std::function<QStringList(QSqlQuery&)>& format) {
    std::vector<QStringList> rows;
    while (q.next()) rows.push_back(format(q));
    return rows;
}

}  // namespace

QString formatTable(const QStringList& header, const std::vector<QStringList>& rows) {
    std::vector<QStringList> lines{header};
    lines.insert(lines.end(), rows.begin(), rows.end());
    std::vector<qsizetype> widths(size_t(header.size()), 0);
    for (const QStringList& line : lines)
        for (qsizetype i = 0; i < line.size() && i < header.size(); ++i)
            widths[size_t(i)] = qMax(widths[size_t(i)], line[i].size());
    QString out;
    for (const QStringList& line : lines) {
        QString text;
        for (qsizetype i = 0; i < line.size() && i < header.size(); ++i) {
            if (i > 0) text += QStringLiteral("  ");
            text += line[i].leftJustified(widths[size_t(i)]);
        }
        while (text.endsWith(QLatin1Char(' '))) text.chop(1);
        out += text + QLatin1Char('\n');
    }
    return out;
}

QString guestsReport(QSqlDatabase& db) {
    QSqlQuery q = sql::exec(
        db, QStringLiteral(
                "SELECT s.DTMFAccessID, (SELECT group_concat(a.DTMFAccessID, ' ') FROM DTMFAccessID a "
                "WHERE a.ParentObjectID = s.SubscriberObjectID AND a.IsPrimaryID = 0), s.Alias, s.DisplayName, "
                "s.FirstName, s.LastName, s.Language, (SELECT count(*) FROM Message m WHERE m.RecipientObjectID = "
                "s.SubscriberObjectID AND m.Unread = 1), (SELECT n.MWIOn FROM NotificationMWI n WHERE "
                "n.ParentObjectID = s.SubscriberObjectID AND n.Alias = 'MWI-1') "
                "FROM vw_Subscriber s WHERE s.ConversationName = 'ConvHotel' ORDER BY s.DTMFAccessID"));
    const auto rows = rowsOf(q, [](QSqlQuery& r) {
        return QStringList{field(r.value(0)), r.value(1).toString(), field(r.value(2)), field(r.value(3)),
                           field(r.value(4)), field(r.value(5)), field(r.value(6)), r.value(7).toString(),
                           lamp(r.value(8))};
    });
    return formatTable({QStringLiteral("Extension"), QStringLiteral("Alternates"), QStringLiteral("Alias"),
                        QStringLiteral("DisplayName"), QStringLiteral("FirstName"), QStringLiteral("LastName"),
                        QStringLiteral("Language"), QStringLiteral("Unread"), QStringLiteral("Lamp")},
                       rows);
}

QString lampsReport(QSqlDatabase& db) {
    QSqlQuery q = sql::exec(db, QStringLiteral("SELECT s.DTMFAccessID, s.Alias, n.Alias, n.MWIExtension, n.MWIOn "
                                               "FROM NotificationMWI n LEFT JOIN vw_Subscriber s ON "
                                               "s.SubscriberObjectID = n.ParentObjectID ORDER BY s.DTMFAccessID, n.Alias"));
    const auto rows = rowsOf(q, [](QSqlQuery& r) {
        return QStringList{field(r.value(0)), field(r.value(1)), field(r.value(2)), field(r.value(3)),
                           lamp(r.value(4))};
    });
    return formatTable({QStringLiteral("Extension"), QStringLiteral("Subscriber"), QStringLiteral("Lamp"),
                        QStringLiteral("LampExtension"), QStringLiteral("State")},
                       rows);
}

QString messagesReport(QSqlDatabase& db, const QString& subscriberId) {
    std::vector<QStringList> rows;
    for (const StoredMessage& m : messagesFor(db, subscriberId))
        rows.push_back({platform::datefmt::generalDate(m.received), m.senderName, m.subject, m.messageClass,
                        m.unread ? QStringLiteral("unread") : QStringLiteral("read"), m.attachmentName});
    return formatTable({QStringLiteral("Received"), QStringLiteral("From"), QStringLiteral("Subject"),
                        QStringLiteral("Class"), QStringLiteral("State"), QStringLiteral("Attachment")},
                       rows);
}

QString ticketsReport(QSqlDatabase& db) {
    std::vector<QStringList> rows;
    for (const TicketInfo& t : listTickets(db))
        rows.push_back({t.ticket, t.objectId, platform::datefmt::generalDate(t.filed),
                        t.finishes ? platform::datefmt::generalDate(*t.finishes) : QStringLiteral("never"),
                        t.result ? QString::number(*t.result) : QStringLiteral("pending")});
    return formatTable({QStringLiteral("Ticket"), QStringLiteral("Object"), QStringLiteral("Filed"),
                        QStringLiteral("Finishes"), QStringLiteral("Result")},
                       rows);
}

}  // namespace voxaren
