#pragma once
// A guest action (check-in, check-out, move, swap) changes subscribers in
// several steps. A service ended between two of them (killed, or stopped by
// the service manager after its stop time-out) would leave a guest half
// moved, a mailbox without a room, or a PMS row still flagged that makes the
// next sweep do the action a second time: a swap done twice hands each guest
// the other's mailbox. So an action notes in the registry store what it is
// about to do before its first change, the note goes once the action is done
// and the flags of its PMS rows are cleared, and a sweep that finds a note
// finishes that action first (service/GuestActionRecovery.h).
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "common/PmsRoom.h"

struct GuestActionNote {
    enum class Kind { CheckIn, CheckOut, Delete, Move, Swap };
    Kind kind = Kind::CheckIn;
    // Subscriber n is to end with extension rooms[n] and alias aliases[n]
    // (a check-out: its archive extension and alias). A check-in knows no
    // subscriber yet: it is found by its alias.
    QStringList subscribers, rooms, aliases;
    QString room;         // the room the action is for, as the log names it
    QString displayName;  // a check-out: the name it archives under; a check-in: unused
    // A check-in: what createGuest was given.
    QString firstName, lastName, password;
    QStringList secondaryRooms;
    // The PMS rows as the sweep read them, whose flags go once the action is done.
    std::vector<PmsRoom> rows;
    // How often a sweep has tried to finish it.
    int attempts = 0;

    QString kindName() const;  // "check-in", "room swap", ...
};

class GuestActionJournal {
public:
    // The PMS rows of the action the sweep is about to run; the action's note
    // takes them along. Cleared by forget().
    void setRowsAtHand(std::vector<PmsRoom> rows) { m_rowsAtHand = std::move(rows); }

    // Written by the action before its first change, with the rows at hand.
    // False (and reported) when the store could not be written.
    bool note(GuestActionNote note);
    // Writes the note as it is (one a sweep could not finish yet).
    static bool write(const GuestActionNote& note);
    // The action is done and its rows' flags are cleared.
    void forget();
    // The note an ended service left, if any (a note that cannot be read is
    // reported and taken as none).
    static std::optional<GuestActionNote> noted();

private:
    std::vector<PmsRoom> m_rowsAtHand;
};
