// The synchronisation sweep: the voice-messaging server brought in line with
// the PMS table in six phases (moves, swaps, unmatched partners, check-ins,
// check-outs, updates), over one snapshot of the table and the list of
// hotel-guest subscribers, with every guest looked up through an index.
#include <QScopeGuard>
#include <algorithm>
#include <optional>

#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/GuestCheckOut.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "common/modPMSFunctions.h"
#include "platform/com/stoprequest.h"
#include "platform/db/recordset.h"
#include "platform/scm/supervision.h"
#include "service/CheckIn.h"
#include "service/GuestActionRecovery.h"
#include "service/GuestUpdate.h"
#include "service/RoomChanges.h"
#include "service/ServiceMemory.h"
#include "service/Sweeps.h"

using namespace platform::db;
using namespace modLogging;

namespace modPMSFunctions {

namespace {

// Number text with one leading blank for a number of 0 or more, as counts and
// some room numbers are written; a text that is no number stays as it is.
QString numberText(const QString& text) {
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    if (!ok) return text;
    return (n >= 0 ? QStringLiteral(" ") : QString()) + QString::number(n);
}
QString numberText(long n) { return numberText(QString::number(n)); }

void diagnostic(short eventId, const QString& text, const QString& primary = QString(), const QString& secondary = QString()) {
    MyDiagnosticLog(text, eventId, primary, secondary, true);
}
void warning(const QString& text) { LogServiceEvent(EVENT_ERROR, SEVERITY_WARNING, text, true); }

// A column's text, "" for NULL or a column that cannot be read.
QString textOf(const Recordset& rs, PmsColumn column) {
    try {
        return PmsRoomTable::text(rs, column);
    } catch (const platform::Error&) {
        return QString();
    }
}

// The snapshot's rows that a filter lets through, in the order the PMS gave
// them, but for those set aside; the phases visit these, whatever the calls
// they make do to the cursor.
std::vector<int> rowsOf(Recordset& rooms, const QString& filter, const QSet<int>& setAside) {
    rooms.SetFilter(filter);
    std::vector<int> marks;
    marks.reserve(size_t(rooms.RecordCount()));
    for (rooms.MoveFirst(); !rooms.IsEOF(); rooms.MoveNext())
        if (!setAside.contains(rooms.Bookmark())) marks.push_back(rooms.Bookmark());
    return marks;
}

// The object id of the one hotel guest holding the extension, or "".
QString hotelGuestOn(const QString& server, const QString& extension) {
    QString reason, displayName, objectId, alias;
    return IsHotelGuest(server, extension, reason, displayName, objectId, alias) ? objectId
                                                                                 : QString();
}

// The room's hotel guest; a move or swap row whose room holds none has its
// flag cleared instead, and "" is returned.
// An occupied room without a guest is checked in later in this sweep, and
// its flag is what gives the new guest its language and names: `occupied`
// leaves the flag in the PMS for the creation and update phases to clear,
// so that a service stopped in between finds the room still flagged. For the
// phases before those it counts as cleared all the same.
QString guestOrClearFlag(const ServiceState& state, const PmsRoom& room, bool occupied,
                         QSet<QString>& handled) {
    const QString extension = room.extension();
    const QString objectId = hotelGuestOn(state.voiceServerConnection, extension);
    if (objectId.isEmpty()) {
        DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Clearing room in PMS database marked as moved but did not have a guest "
                                                  "account in Voxaren.  Room=") +
                                       numberText(extension));
        if (occupied)
            handled.insert(extension);
        else
            ClearPMSDBUpdatedByPTCEFlag(state, room, handled);
    }
    return objectId;
}

using Rows = PmsRoomTable::Rows;
// The partner room's column, as the sweep's messages name it.
const QString& partnerColumn() { return PmsRoomTable::name(PmsColumn::PartnerRoom); }

class SyncSweep {
public:
    SyncSweep(ServiceState& state, ServiceMemory& memory) : m_state(state), m_memory(memory) {}
    void run();

private:
    bool open();
    void setAsideUnaddressableRows();
    std::vector<int> rowsOf(Rows selection) {
        return modPMSFunctions::rowsOf(rooms, PmsRoomTable::criteria(selection), m_setAside);
    }
    void moves();
    void swaps();
    void unmatched();
    void creations();
    void removals();
    void updates();
    void readGuests();
    // Leaves the room's guest current in the guest list; false when it has none.
    bool findGuest(const QString& extension);
    bool cleared(const QString& extension) const {
        return m_memory.flagsClearedThisSweep.contains(extension);
    }
    bool flagged() const { return PmsRoomTable::value(rooms, PmsColumn::ChangeFlag).toLongLong() > 0; }
    // The current row of the snapshot, as the gateway had written it.
    PmsRoom row() const { return PmsRoom::fromCurrentRow(rooms); }
    void reportBadPartner(const QString& otherRoom, const QString& line);
    // Checks the room's guest (the guest list's current row) out.
    bool checkOutGuest(const QString& extension);
    bool replaceOtherGuest(const PmsRoom& room, int mark);
    bool stopping();
    void roomsChanged(const QString& roomNo, const QString& otherRoom, const std::vector<PmsRoom>& changed);

    // Marks the row's flag cleared, the room handled for the rest of the sweep.
    void clearFlag(const PmsRoom& room) {
        ClearPMSDBUpdatedByPTCEFlag(m_state, room, m_memory.flagsClearedThisSweep);
    }
    // The PMS rows a guest action of the sweep acts on, for the length of the
    // action and the clearing of their flags: the action notes them with what it
    // is about to do, so that a service ended in between clears them when it
    // finishes the action, and does not do it a second time.
    [[nodiscard]] auto actionRows(std::vector<PmsRoom> rows) {
        m_state.guestActions.setRowsAtHand(std::move(rows));
        return qScopeGuard([this] { m_state.guestActions.forget(); });
    }

    ServiceState& m_state;
    ServiceMemory& m_memory;
    ErrorTrap trap{"SweepForUpdates", "Module", "modPMSFunctions"};
    Recordset rooms;
    Recordset guests;
    QSet<int> m_setAside;  // rows no phase acts on
    // Rows whose room got a guest in this sweep without the PMS having
    // flagged it (a check-in the gateway did not report, or whose flag an
    // earlier, interrupted sweep cleared): the update phase gives these their
    // language and names too, as it does a flagged check-in.
    std::vector<int> m_unflaggedCheckIns;
    // Rooms the update phase passes over: their guest a move or swap has
    // updated already, or their check-in failed (and was reported).
    QSet<QString> m_updated;
    bool m_stopping = false;
};

// A row is addressed by its primary extension: rows without one, or sharing theirs
// with another row, cannot be acted on (each flag write would refuse them)
// and are set aside for this sweep, each reported once a run.
void SyncSweep::setAsideUnaddressableRows() {
    struct RowKey {
        int mark;
        QString extension, room;
    };
    std::vector<RowKey> keys;
    keys.reserve(size_t(rooms.RecordCount()));
    QHash<QString, int> rowsPerExtension;
    QHash<QString, int> roomsWithoutExtension;  // rows without an extension, per room number
    rooms.ClearFilter();
    for (rooms.MoveFirst(); !rooms.IsEOF(); rooms.MoveNext()) {
        RowKey& key = keys.emplace_back(RowKey{rooms.Bookmark(),
                                               textOf(rooms, PmsColumn::PrimaryExtension).trimmed(),
                                               textOf(rooms, PmsColumn::RoomNumber)});
        ++rowsPerExtension[key.extension];
        if (key.extension.isEmpty()) ++roomsWithoutExtension[key.room];
    }
    QHash<QString, int> seenWithoutExtension;
    for (const auto& [mark, extension, room] : keys) {
        if (extension.isEmpty()) {
            m_setAside.insert(mark);
            // Rows alike in room number (often none at all) are told apart by
            // their place among their kind, so each is reported.
            const int alike = roomsWithoutExtension.value(room);
            const int nth = ++seenWithoutExtension[room];
            const QString which = alike > 1 ? QStringLiteral(" (%1 of %2 such rows)").arg(nth).arg(alike) : QString();
            reportRowOnce(
                m_memory, QStringLiteral("no extension|%1|%2").arg(room).arg(nth),
                QStringLiteral(
                    "PMS row of room '%1'%2 set aside: it has no extension (%3 is empty).")
                    .arg(room.left(40), which, PmsRoomTable::name(PmsColumn::PrimaryExtension)));
        } else if (rowsPerExtension.value(extension) > 1) {
            m_setAside.insert(mark);
            reportRowOnce(
                m_memory, QStringLiteral("shared extension|") + room + QLatin1Char('|') + extension,
                QStringLiteral("PMS row of room '%1' set aside: %2 rows share its extension %3.")
                    .arg(room.left(40))
                    .arg(rowsPerExtension.value(extension))
                    .arg(extension.left(40)));
        }
    }
}

bool SyncSweep::open() {
    guests.CursorLocation = adUseClient;
    // A working set that cannot be read is reported by the sweep's own
    // message below, and nothing else.
    try {
        PmsRoomTable(m_state.pmsConnection).readAll(rooms, adOpenStatic, adLockReadOnly);
        readGuests();
    } catch (const platform::Error&) {
    }
    if (rooms.State() != adStateOpen) {
        ReportError(QStringLiteral("Attempt to open remote PMS database failed during DB sync attempt.  Aborting sync."));
        return false;
    }
    if (guests.State() != adStateOpen) {
        ReportError(
            QStringLiteral("Attempt to open remote local VoxarenDB database failed during DB sync attempt.  Aborting sync."));
        return false;
    }
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Connection to both databases complete"));
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("VoxarenDB subscriber record count=") + numberText(guests.RecordCount()));
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("PMS room record count=") + numberText(rooms.RecordCount()));
    return true;
}

void SyncSweep::readGuests() {
    if (guests.State() == adStateOpen) {
        guests.Requery();
        return;
    }
    guests.Open(GuestDirectory::sql(GuestDirectory::Query::EveryGuest),
                m_state.voiceServerConnection, adOpenKeyset, adLockOptimistic);
}

bool SyncSweep::findGuest(const QString& extension) {
    if (guests.State() != adStateOpen || guests.RecordCount() == 0) return false;
    guests.MoveFirst();
    return guests.FindEqual(HotelGuest::extensionColumn(), extension);
}

void SyncSweep::reportBadPartner(const QString& otherRoom, const QString& line) {
    ReportError(QStringLiteral("Error encountered during database sweep.  Could not find primary extension for "
                               "otherroomnumber=") +
                otherRoom);
    diagnostic(EVENT_SYNC_DEBUG, line);
}

// Phase A: a guest who left a room (now vacant) for its partner room follows.
void SyncSweep::moves() {
    std::vector<int> marks;
    trap.step([&] { marks = rowsOf(Rows::MovesAndSwaps); });
    if (marks.empty()) return;
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Rooms affected by moves or swaps=") + numberText(long(marks.size())));
    for (const int mark : marks) {
        if (stopping()) break;
        trap.step([&] {
            rooms.MoveTo(mark);
            const QString extension = textOf(rooms, PmsColumn::PrimaryExtension);
            if (cleared(extension) || textOf(rooms, PmsColumn::Occupancy) == QLatin1String("1")) return;
            const QString roomNo = textOf(rooms, PmsColumn::RoomNumber);
            const QString otherRoom = textOf(rooms, PmsColumn::PartnerRoom);
            const QString target = strGetPrimaryExtensionFromRoomNumber(m_state, otherRoom);
            if (target.isEmpty())
                reportBadPartner(otherRoom,
                                 QStringLiteral("Error in DB synch process - invalid '%1' value for PMS extension=")
                                         .arg(partnerColumn()) +
                                     extension);
            const QString sourceId =
                guestOrClearFlag(m_state, row(), false, m_memory.flagsClearedThisSweep);
            if (sourceId.isEmpty() || target.isEmpty()) return;
            if (!hotelGuestOn(m_state.voiceServerConnection, target).isEmpty()) {
                ReportError(QStringLiteral("Error encountered moving primary room=") + extension +
                            QStringLiteral(" to target room=") + target +
                            QStringLiteral(".  Both target and source rooms are currently guests which is invalid for a "
                                           "room move."));
                return;
            }
            const std::vector<PmsRoom> changed = PmsRoomTable::movedRoomRows(roomNo, otherRoom, rooms);
            const auto acted = actionRows(changed);
            if (ActionRoomMove(m_state, sourceId, extension, target)) {
                diagnostic(EVENT_ROOM_MOVE, QStringLiteral("Room move completed"), extension, target);
                roomsChanged(roomNo, otherRoom, changed);
            } else {
                ReportError(QStringLiteral("Error encountered moving primary room=") + extension +
                            QStringLiteral(" to target room=") + target);
            }
        });
    }
}

// Phase B: two occupied rooms that name each other exchange their guests.
void SyncSweep::swaps() {
    std::vector<int> marks;
    trap.step([&] { marks = rowsOf(Rows::MovesAndSwaps); });
    for (const int mark : marks) {
        if (stopping()) break;
        trap.step([&] {
            rooms.MoveTo(mark);
            const QString extension = textOf(rooms, PmsColumn::PrimaryExtension);
            if (cleared(extension) || textOf(rooms, PmsColumn::Occupancy) != QLatin1String("1")) return;
            const QString roomNo = textOf(rooms, PmsColumn::RoomNumber);
            const QString otherRoom = textOf(rooms, PmsColumn::PartnerRoom);
            const QString target = strGetPrimaryExtensionFromRoomNumber(m_state, otherRoom);
            if (target.isEmpty())
                reportBadPartner(otherRoom, QStringLiteral("Error in DB synch process due to invalid '%1' value "
                                                           "during swap check for PMS extension=")
                                                    .arg(partnerColumn()) +
                                                extension);
            const QString guestId =
                guestOrClearFlag(m_state, row(), true, m_memory.flagsClearedThisSweep);
            if (guestId.isEmpty()) return;
            // The arrival room of a move: its partner holds no guest, nothing to do.
            const QString targetId =
                target.isEmpty() ? QString() : hotelGuestOn(m_state.voiceServerConnection, target);
            if (targetId.isEmpty()) return;
            const std::vector<PmsRoom> changed = PmsRoomTable::movedRoomRows(roomNo, otherRoom, rooms);
            const auto acted = actionRows(changed);
            if (ActionRoomSwap(m_state, extension, guestId, target, targetId)) {
                diagnostic(EVENT_ROOM_SWAP, QStringLiteral("Room swap completed"), extension, target);
                roomsChanged(roomNo, otherRoom, changed);
            } else {
                ReportError(QStringLiteral("(error): Attempt to swap two rooms failed.  Room being swapped=") +
                            numberText(extension) + QStringLiteral(", 2nd room=") + target);
            }
        });
    }
}

// Phase C: move and swap rows still flagged are reported.
void SyncSweep::unmatched() {
    trap.step([&] {
        QStringList left;
        for (const int mark : rowsOf(Rows::MovesAndSwaps)) {
            rooms.MoveTo(mark);
            const QString extension = textOf(rooms, PmsColumn::PrimaryExtension);
            if (!cleared(extension)) left << extension;
        }
        if (left.isEmpty()) return;
        ReportError(QStringLiteral("Error encountered during update sweep.  Unmatched '%1' columns found for rooms: ")
                        .arg(partnerColumn()) +
                    left.join(QStringLiteral(", ")));
        diagnostic(EVENT_SYNC_DEBUG, QStringLiteral("Error in DB - unmatched '%1' columns during update").arg(partnerColumn()));
    });
}

// After a move or swap: the guests now in its occupied rooms get their names
// and language before the rows' flags go (a service ended between the two
// would otherwise leave them unwritten for good), and the update phase
// passes over them.
void SyncSweep::roomsChanged(const QString& roomNo, const QString& otherRoom, const std::vector<PmsRoom>& changed) {
    for (const PmsRoom& room : changed)
        if (room.occupied() && trap.step([&] { UpdateGuestOnRoom(room, m_state, m_memory); }))
            m_updated.insert(room.extension());
    bClearPMSRecordsForMovedRooms(m_state, roomNo, otherRoom, rooms,
                                  m_memory.flagsClearedThisSweep);
}

bool SyncSweep::checkOutGuest(const QString& extension) {
    const HotelGuest guest = HotelGuest::fromCurrentRow(guests);
    const bool checkedOut =
        ActionCheckOut(m_state, guest.objectId, extension, guest.alias, guest.displayName);
    diagnostic(EVENT_CHECK_OUT, checkedOut ? QStringLiteral("Mailbox checked out") : QStringLiteral("Mailbox check out failed"),
               extension);
    return checkedOut;
}

// A room that turned over between two sweeps (its guest checked out and a
// new one checked in, as after an outage) names a guest other than the one
// holding its mailbox: that guest is checked out, so the new one gets a
// mailbox of its own. True when the room is free for the new guest; a room
// whose check-out failed is held back, flagged, for the next sweep.
bool SyncSweep::replaceOtherGuest(const PmsRoom& room, int mark) {
    const HotelGuest guest = HotelGuest::fromCurrentRow(guests);
    const QString &held = guest.firstName, &heldLast = guest.lastName;
    if (room.hasPartner() || !room.namesAnotherGuestThan(held, heldLast)) return false;
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Room %1 has a new guest: the mailbox of %2 %3 is checked out first")
                                   .arg(room.extension(), held, heldLast));
    bool checkedOut = false;
    {
        const auto acted = actionRows({});  // the room's flag stays for the new guest's update
        checkedOut = checkOutGuest(room.extension());
    }
    if (!checkedOut) m_setAside.insert(mark);
    return checkedOut;
}

// Phase D: an occupied room without a guest gets one.
void SyncSweep::creations() {
    std::vector<int> marks;
    trap.step([&] { marks = rowsOf(Rows::Occupied); });
    trap.step([&] { readGuests(); });
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Rooms in PMS database marked as occupied=") + numberText(long(marks.size())));
    for (const int mark : marks) {
        if (stopping()) break;
        trap.step([&] {
            rooms.MoveTo(mark);
            const QString extension = textOf(rooms, PmsColumn::PrimaryExtension);
            // The row is taken whole only for a room there is something to do for.
            if (findGuest(extension) && (!flagged() || !replaceOtherGuest(row(), mark))) return;
            const PmsRoom room = row();
            const QString first = nameOf(room, PmsColumn::FirstName, m_memory);
            const QString last = nameOf(room, PmsColumn::LastName, m_memory);
            const std::optional<qint32> language = languageOf(room, m_memory);
            const qint32 languageId = language ? lngGetLanguageLCID(*language) : 1033;
            // A room whose check-in keeps meeting the same conflict was warned about already.
            if (!flagged() && !m_memory.reportedConflicts.contains(extension)) {
                const QString text = QStringLiteral("Creating new mailbox for guest in room: ") + extension +
                                     QStringLiteral(" This room was not checked in through normal processes.");
                diagnostic(EVENT_SYNC_DEBUG, text);
                warning(text);
            }
            DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Creating new mailbox for guest in room: ") + extension);
            const bool created = ActionCheckIn(
                {extension, first, last, languageId, room.password(), room.secondaryExtensions()},
                m_state, m_memory);
            diagnostic(EVENT_CHECK_IN,
                       (created ? QStringLiteral("New mailbox created for ") : QStringLiteral("New mailbox creation fialed for ")) +
                           first + QLatin1Char(' ') + last,
                       extension);
            // A flagged room's new guest gets its language and display name in
            // the update phase of this sweep, which clears the flag after them:
            // cleared here, a service stopped in between would leave the guest
            // without them for good.
            if (!created || !flagged()) clearFlag(room);
            if (!created) m_updated.insert(extension);  // reported: the update phase does not report it again
            if (created && !flagged()) m_unflaggedCheckIns.push_back(mark);
        });
    }
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("New mailbox creation sweep complete, checking for removals."));
}

// Phase E: a vacant room's guest is checked out.
void SyncSweep::removals() {
    std::vector<int> marks;
    trap.step([&] { marks = rowsOf(Rows::Vacant); });
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Rooms in PMS database marked as not occupied=") + numberText(long(marks.size())));
    for (const int mark : marks) {
        if (stopping()) break;
        trap.step([&] {
            rooms.MoveTo(mark);
            const QString extension = textOf(rooms, PmsColumn::PrimaryExtension);
            if (!findGuest(extension)) {
                // Nothing is left to do for the room (a check-out ended before
                // its flag went leaves one): its flag goes.
                if (flagged() && !cleared(extension)) clearFlag(row());
                return;
            }
            if (!flagged()) {
                const QString text = QStringLiteral("Removing a mailbox for guest in room: ") + extension +
                                     QStringLiteral(" This room was not checked out through normal processes.");
                diagnostic(EVENT_SYNC_DEBUG, text);
                warning(text);
            }
            DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Removing mailbox for guest in room: ") + extension);
            const PmsRoom room = row();
            const auto acted = actionRows({room});
            checkOutGuest(extension);
            clearFlag(room);
        });
    }
    DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("New mailbox creation sweep complete, checking for updates."));
}

// Phase F: names and language of a changed occupied room go to its guest.
void SyncSweep::updates() {
    trap.step([&] { readGuests(); });
    std::vector<int> marks;
    trap.step([&] { marks = rowsOf(Rows::ChangedOccupied); });
    if (!m_unflaggedCheckIns.empty()) {
        // In the snapshot's order, as the flagged rows are visited; all of
        // them occupied rows.
        marks.insert(marks.end(), m_unflaggedCheckIns.begin(), m_unflaggedCheckIns.end());
        std::sort(marks.begin(), marks.end());
        trap.step([&] { rooms.SetFilter(PmsRoomTable::criteria(Rows::Occupied)); });
    }
    if (marks.empty()) {
        DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("No existing rooms with updated information from PTCE"));
        return;
    }
    DebugLog(EVENT_SYNC_DEBUG, numberText(long(marks.size())) +
                                   QStringLiteral(" existing rooms with updated information from PTCE that need to be "
                                                  "updated locally... starting synch."));
    for (const int mark : marks) {
        trap.step([&] {
            rooms.MoveTo(mark);
            const QString extension = textOf(rooms, PmsColumn::PrimaryExtension);
            if (m_updated.contains(extension)) return;
            if (!findGuest(extension)) {
                ReportError(QStringLiteral("Error in SweepForUpdates routine: record in PTCE database that was updated has "
                                           "no corresponding subscriber in the local Voxaren database.  Room number=") +
                            extension);
                return;
            }
            const PmsRoom room = row();
            UpdateGuestFromRoom(guests, room, m_memory);
            clearFlag(room);
            DebugLog(EVENT_SYNC_DEBUG, QStringLiteral("Updates for this subscriber complete"));
        });
    }
}

// A stop (or shutdown) the host was asked for ends the sweep before the next
// room: never inside a guest action, and in seconds, so that the service
// manager need not kill the service in the middle of one. What the sweep has
// not reached keeps its flag for the next start.
bool SyncSweep::stopping() {
    platform::scm::reportProgress();  // a room done: the sweep goes on
    if (!m_stopping && platform::com::stopRequested()) {
        m_stopping = true;
        LogServiceEvent(EVENT_SHUT_DOWN, SEVERITY_INFORMATION,
                        QStringLiteral("The service is stopping: the synchronisation sweep ends here, and the rooms it "
                                       "has not reached are left for the next start."),
                        true);
    }
    return m_stopping;
}

void SyncSweep::run() {
    diagnostic(EVENT_SYNC_START, QStringLiteral("Starting sweep for updates in local and remote PMS database."));
    if (!FinishInterruptedGuestAction(m_state, m_memory)) return;
    // What the finishing left flagged (rows the PMS changed since) is this sweep's work.
    m_memory.flagsClearedThisSweep.clear();
    if (!open()) return;
    trap.step([&] { setAsideUnaddressableRows(); });
    for (void (SyncSweep::*phase)() : {&SyncSweep::moves, &SyncSweep::swaps, &SyncSweep::unmatched, &SyncSweep::creations,
                                       &SyncSweep::removals, &SyncSweep::updates})
        if (!stopping()) (this->*phase)();
    rooms.Close();
    guests.Close();
    if (!m_stopping) diagnostic(EVENT_SYNC_FINISHED, QStringLiteral("Syncronization sweep complete"));
}

}  // namespace

void SweepForUpdates(ServiceState& state, ServiceMemory& memory) {
    SyncSweep(state, memory).run();
}

}  // namespace modPMSFunctions
