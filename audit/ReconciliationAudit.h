#pragma once
// The reconciliation audit: the PMS table and the voice-messaging server read
// once each and compared room by room. Every disagreement is a drift, named
// with its room: the things a missed check-out, a lamp stuck on or a guest
// action cut short leave behind. The audit only reads; flagging the drifted
// rooms (their PMS change flag raised) hands them to the next
// synchronisation sweep.
#include <QString>
#include <optional>
#include <vector>

namespace audit {

enum class DriftKind {
    OccupiedWithoutGuest,  // occupied room, no guest whose primary extension is the room's primary extension
    VacantWithGuest,       // vacant room whose primary extension is still a guest's primary extension
    SharedExtension,       // one extension (primary or alternate) held by two or more guests
    GuestDiffers,          // names or language of a room's guest differ from the PMS row
    LampDiffers,           // the guest's lamp "MWI-1" and the row's unread count disagree
    ArchiveOverdue,        // an archived guest kept longer than "Mailbox Archive Days"
    GuestWithoutRoom,      // a guest (not archived) whose extension is no room's primary extension
};

// The kind's name in reports: "occupied-without-guest", "vacant-with-guest",
// "shared-extension", "guest-differs", "lamp-differs", "archive-overdue",
// "guest-without-room".
QString driftName(DriftKind kind);

struct Drift {
    // The room as the service names it: its primary extension. For a guest without
    // a room, the guest's extension (or, when it has none, its alias's room).
    QString room;
    DriftKind kind;
    QString detail;
    // Whether the PMS table has a row whose primary extension is `room`.
    bool roomHasRow = false;

    bool operator==(const Drift&) const = default;
};

struct AuditResult {
    // Why a side could not be read ("" when both were); then no drifts.
    QString failure;
    // Ordered by room (numbers by their value), then by kind.
    std::vector<Drift> drifts;
    int rooms = 0;   // rows of the PMS table
    int guests = 0;  // hotel-guest subscribers, archived ones included

    bool ok() const { return failure.isEmpty(); }
};

// Reads the PMS table on `pmsConnection` and the hotel guests, their
// extensions and lamps on `serverConnection`, and compares them. Archived
// guests are checked against `archiveDays` (whole days before the clock's
// now); without archive days they are not checked.
AuditResult findDrifts(const QString& pmsConnection, const QString& serverConnection,
                       std::optional<int> archiveDays);

struct FlagOutcome {
    enum Result {
        Flagged,         // the change flag raised to 1
        AlreadyFlagged,  // the row's flag was already up: left as it was
        NoRow,           // no row has the room as its primary extension
        Failed,          // the update failed; `error` says why
    };
    QString room;
    Result result;
    QString error;

    bool operator==(const FlagOutcome&) const = default;
};

// Raises the PMS change flag of each drifted room that has a row, one UPDATE
// per room by its primary extension, so that the next synchronisation sweep handles
// the room through its normal path. A row whose flag is already up is left
// alone: it may be a move or swap the sweep has yet to make. A flagged row's
// the partner room becomes "0", as with any change of the gateway that is not a
// move or swap, so a partner left over from an earlier move does not start a
// new one. One outcome per room, in the order of the drifts.
std::vector<FlagOutcome> flagDriftedRooms(const QString& pmsConnection, const std::vector<Drift>& drifts);

}  // namespace audit
