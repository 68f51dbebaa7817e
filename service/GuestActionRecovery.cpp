#include "service/GuestActionRecovery.h"

#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/GuestActionJournal.h"
#include "common/GuestCheckOut.h"
#include "common/Lamps.h"
#include "common/ServiceState.h"
#include "common/SubscriberCommands.h"
#include "common/VoxarenVersion.h"
#include "common/modLogging.h"
#include "common/modPMSFunctions.h"
#include "platform/db/recordset.h"
#include "service/CheckIn.h"
#include "service/GuestUpdate.h"
#include "service/ServiceMemory.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// Gives the subscriber `room` as its primary extension and `alias` (also its
// UID), with a directory synchronisation, unless it has both already (or is
// gone). False when the server refused.
bool takeOver(ErrorTrap& trap, const QString& objectId, const QString& room, const QString& alias) {
    SubscriberCommands subscribers(trap, serviceState().voiceServerConnection);
    const std::optional<SubscriberNumbers> held = subscriberNumbers(objectId);
    if (!held || (held->extension == room && held->alias == alias)) return true;
    SubscriberModification given = subscribers.giveExtension(objectId, room);
    if (!given.hasRow()) {
        ReportError(QStringLiteral("The interrupted guest action could not give room %1 to the subscriber with "
                                   "ObjectID=%2: %3")
                        .arg(room, objectId, given.error));
        return false;
    }
    subscribers.renameTo(given.row, alias);
    given.row.Close();
    const QString ticket = strGenerateGUID();
    SubscriberModification sync =
        subscribers.requestDirectorySync(objectId, ticket, adLockReadOnly);
    return sync.hasRow() && bWaitForDirectorySync(ticket);
}

void removeAlternates(ErrorTrap& trap, const QString& objectId) {
    SubscriberCommands subscribers(trap, serviceState().voiceServerConnection);
    subscribers.runFor(QStringLiteral("sp_RemoveAltDTMFIDsByOID"), QStringLiteral("@strGUID"),
                       objectId);
}

bool finishMove(ErrorTrap& trap, const GuestActionNote& note) {
    const QString objectId = note.subscribers.value(0);
    removeAlternates(trap, objectId);
    const bool moved = takeOver(trap, objectId, note.rooms.value(0), note.aliases.value(0));
    if (!IsVoxarenVersionAtLeast(4, 0, 3, 80)) SetMWIsForGuest(objectId, false);
    ForceMWISyncForGuest(objectId);
    return moved;
}

// Both give up every number that is not the one they are to have, and only
// then does each take its own: whichever step the swap had reached.
bool finishSwap(ErrorTrap& trap, const GuestActionNote& note) {
    SubscriberCommands subscribers(trap, serviceState().voiceServerConnection);
    bool swapped = true;
    for (const QString& objectId : note.subscribers) removeAlternates(trap, objectId);
    for (int i = 0; i < note.subscribers.size(); ++i)
        trap.step([&] {
            const std::optional<SubscriberNumbers> held = subscriberNumbers(note.subscribers[i]);
            if (held && !held->extension.isEmpty() && held->extension != note.rooms.value(i))
                subscribers.runFor(QStringLiteral("sp_DeleteDTMFAccessID"),
                                   QStringLiteral("@ParentOID"), note.subscribers[i]);
        });
    for (int i = 0; i < note.subscribers.size(); ++i)
        trap.step([&] { swapped = takeOver(trap, note.subscribers[i], note.rooms.value(i), note.aliases.value(i)) && swapped; });
    for (const QString& objectId : note.subscribers) ForceMWISyncForGuest(objectId);
    return swapped;
}

bool finish(ErrorTrap& trap, const GuestActionNote& note, ServiceMemory& memory) {
    switch (note.kind) {
        case GuestActionNote::Kind::CheckIn:
            return FinishInterruptedCheckIn(note, memory);
        case GuestActionNote::Kind::CheckOut:
        case GuestActionNote::Kind::Delete: return FinishInterruptedCheckOut(note);
        case GuestActionNote::Kind::Move: return finishMove(trap, note);
        case GuestActionNote::Kind::Swap: return finishSwap(trap, note);
    }
    return false;
}

// A note whose action cannot be finished (a server that keeps refusing) does
// not hold the sweeps up for ever.
constexpr int kMostAttempts = 5;

}  // namespace

bool FinishInterruptedGuestAction(ServiceMemory& memory) {
    ErrorTrap trap("FinishInterruptedGuestAction", "Module", "modPMSFunctions");
    GuestActionJournal& journal = serviceState().guestActions;
    std::optional<GuestActionNote> note = GuestActionJournal::noted();
    if (!note) {
        journal.forget();  // a note begun and never written leaves its key
        return true;
    }
    const int errorsBefore = trap.errors();
    bool done = false;
    trap.step([&] { done = finish(trap, *note, memory); });
    done = done && trap.errors() == errorsBefore;
    // Then what the sweep does after such an action: an occupied row's names
    // and language go to the guest now on it, and the rows' flags go, only
    // once it is done (a row still flagged would make the sweep do it again).
    if (done)
        for (const PmsRoom& row : note->rows) {
            if (row.occupied()) done = trap.step([&] { UpdateGuestOnRoom(row, memory); }) && done;
            done = ClearPMSDBUpdatedByPTCEFlag(row, memory.flagsClearedThisSweep) && done;
        }
    const QString what = QStringLiteral("The %1 of room %2 was interrupted when the service ended").arg(note->kindName(), note->room);
    if (done) {
        modLogging::LogServiceEvent(modLogging::EVENT_ERROR, modLogging::SEVERITY_WARNING,
                                    what + QStringLiteral(": it is finished now."), true);
    } else if (++note->attempts < kMostAttempts) {
        ReportError(what + QStringLiteral(" and could not be finished yet: the sweep waits for it."));
        GuestActionJournal::write(*note);
        return false;
    } else {
        ReportError(what + QStringLiteral(" and could not be finished in %1 attempts: check its rooms with stavio-audit.")
                               .arg(kMostAttempts));
    }
    journal.forget();
    return true;
}

}  // namespace modPMSFunctions
