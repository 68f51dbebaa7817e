#include "sim/voxaren/DirectorySync.h"

#include "platform/clock.h"
#include "sim/voxaren/Sql.h"

namespace voxaren {

namespace {

QVariant optionalMs(const std::optional<qint64>& ms) {
    return ms ? QVariant(*ms) : QVariant(QMetaType::fromType<qint64>());
}

}  // namespace

void planTickets(QSqlDatabase& db, const std::vector<TicketPlan>& plans) {
    sql::asOneUnit(db, [&] {
        for (const TicketPlan& plan : plans)
            sql::exec(db, QStringLiteral("INSERT INTO DirectorySyncPlan (DelayMs, Outcome) VALUES (?, ?)"),
                      {optionalMs(plan.finishAfterMs), plan.result});
    });
}

void fileTicket(QSqlDatabase& db, const QString& ticket, const QString& objectId, const QVariant& flags) {
    if (ticket.trimmed().isEmpty())
        throw sql::refused(QStringLiteral("A directory synchronisation needs a ticket (@DirectorySyncTicket)."));
    TicketPlan plan = TicketPlan::finishAfter(kDefaultTicketDelayMs);
    {
        QSqlQuery next = sql::exec(
            db, QStringLiteral("SELECT Seq, DelayMs, Outcome FROM DirectorySyncPlan ORDER BY Seq LIMIT 1"));
        if (next.next()) {
            const qlonglong seq = next.value(0).toLongLong();
            plan.finishAfterMs =
                next.value(1).isNull() ? std::nullopt : std::optional<qint64>(next.value(1).toLongLong());
            plan.result = next.value(2).toInt();
            next.finish();
            sql::exec(db, QStringLiteral("DELETE FROM DirectorySyncPlan WHERE Seq = ?"), {seq});
        }
    }
    const qint64 now = platform::clock().now().toMSecsSinceEpoch();
    sql::exec(db,
              QStringLiteral("INSERT INTO DirectorySyncTicket (Ticket, ObjectID, Flags, FiledAtMs, FinishAtMs, Outcome) "
                             "VALUES (?, ?, ?, ?, ?, ?)"),
              {ticket, objectId, flags.isValid() ? flags : QVariant(QMetaType::fromType<int>()), now,
               optionalMs(plan.finishAfterMs ? std::optional<qint64>(now + *plan.finishAfterMs) : std::nullopt),
               plan.result});
}

void deleteTicket(QSqlDatabase& db, const QString& ticket) {
    sql::exec(db, QStringLiteral("DELETE FROM DirectorySyncTicket WHERE Ticket = ?"), {ticket});
}

std::vector<TicketInfo> listTickets(QSqlDatabase& db) {
    QSqlQuery q = sql::exec(db, QStringLiteral("SELECT t.Ticket, t.ObjectID, t.FiledAtMs, t.FinishAtMs, v.result "
                                               "FROM DirectorySyncTicket t JOIN vw_DirectorySyncTicket v "
                                               "ON v.Ticket = t.Ticket ORDER BY t.FiledAtMs, t.Ticket"));
    std::vector<TicketInfo> tickets;
    while (q.next()) {
        TicketInfo t;
        t.ticket = q.value(0).toString();
        t.objectId = q.value(1).toString();
        t.filed = QDateTime::fromMSecsSinceEpoch(q.value(2).toLongLong());
        if (!q.value(3).isNull()) t.finishes = QDateTime::fromMSecsSinceEpoch(q.value(3).toLongLong());
        if (!q.value(4).isNull()) t.result = q.value(4).toInt();
        tickets.push_back(t);
    }
    return tickets;
}

}  // namespace voxaren
