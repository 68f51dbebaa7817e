#pragma once
// Directory synchronisation tickets. A procedure asked to synchronise files
// the caller's ticket; the ticket finishes on its own at a moment of the
// server's clock (platform::clock()) with a result, and vw_DirectorySyncTicket
// shows "result" NULL until then. Nothing runs in the background: the view
// compares the clock with the ticket's finishing moment whenever it is read,
// so a fake clock in a test moves tickets along without waiting.
//
//   DirectorySyncTicket  Ticket (key), ObjectID, Flags, FiledAtMs, FinishAtMs
//                        (NULL: never), Outcome — times in ms since the epoch
//   DirectorySyncPlan    Seq, DelayMs (NULL: never), Outcome — how the next
//                        tickets will finish, first planned first
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace voxaren {

// An unplanned ticket finishes this long after it is filed, with result 0.
constexpr qint64 kDefaultTicketDelayMs = 500;

struct TicketPlan {
    std::optional<qint64> finishAfterMs;  // nullopt: never finishes
    int result = 0;

    static TicketPlan finishAfter(qint64 ms, int result = 0) { return {ms, result}; }
    static TicketPlan never() { return {std::nullopt, 0}; }
    // A caller that looks every 2 s sees it finished (result 0) at its third look.
    static TicketPlan onThirdLook() { return finishAfter(5000, 0); }
};

// Appends plans for the next tickets filed on this server, in order.
void planTickets(QSqlDatabase& db, const std::vector<TicketPlan>& plans);

// Files a ticket under the next plan (or the default). Refused when empty.
void fileTicket(QSqlDatabase& db, const QString& ticket, const QString& objectId, const QVariant& flags);

void deleteTicket(QSqlDatabase& db, const QString& ticket);

struct TicketInfo {
    QString ticket;
    QString objectId;
    QDateTime filed;
    std::optional<QDateTime> finishes;  // nullopt: never
    std::optional<int> result;          // as the view shows it now
};

// Every ticket on the server, oldest first.
std::vector<TicketInfo> listTickets(QSqlDatabase& db);

}  // namespace voxaren
