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
bool takeOver(ErrorTrap& trap, const QString& server, const QString& objectId, const QString& room,
              const QString& alias) {
    SubscriberCommands subscribers(trap, server);
    const std::optional<SubscriberNumbers> held = subscriberNumbers(server, objectId);
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
    return sync.hasRow() && bWaitForDirectorySync(ticket, server);
}

void removeAlternates(ErrorTrap& trap, const QString& server, const QString& objectId) {
    SubscriberCommands subscribers(trap, server);
    subscribers.runFor(QStringLiteral("sp_RemoveAltDTMFIDsByOID"), QStringLiteral("@strGUID"),
                       objectId);
}

bool finishMove(ErrorTrap& trap, ServiceState& state, const GuestActionNote& note) {
    const QString& server = state.voiceServerConnection;
    const QString objectId = note.subscribers.value(0);
    removeAlternates(trap, server, objectId);
    const bool moved = takeOver(trap, server, objectId, note.rooms.value(0), note.aliases.value(0));
    if (!IsVoxarenVersionAtLeast(4, 0, 3, 80)) SetMWIsForGuest(state, objectId, false);
    ForceMWISyncForGuest(state, objectId);
    return moved;
}

// Both give up every number that is not the one they are to have, and only
// then does each take its own: whichever step the swap had reached.
bool finishSwap(ErrorTrap& trap, ServiceState& state, const GuestActionNote& note) {
    const QString& server = state.voiceServerConnection;
    SubscriberCommands subscribers(trap, server);
    bool swapped = true;
    for (const QString& objectId : note.subscribers) removeAlternates(trap, server, objectId);
    for (int i = 0; i < note.subscribers.size(); ++i)
        trap.step([&] {
            const std::optional<SubscriberNumbers> held =
                subscriberNumbers(server, note.subscribers[i]);
            if (held && !held->extension.isEmpty() && held->extension != note.rooms.value(i))
                subscribers.runFor(QStringLiteral("sp_DeleteDTMFAccessID"),
                                   QStringLiteral("@ParentOID"), note.subscribers[i]);
        });
    for (int i = 0; i < note.subscribers.size(); ++i)
        trap.step([&] {
            swapped = takeOver(trap, server, note.subscribers[i], note.rooms.value(i),
                               note.aliases.value(i)) &&
                      swapped;
        });
    for (const QString& objectId : note.subscribers) ForceMWISyncForGuest(state, objectId);
    return swapped;
}

bool finish(ErrorTrap& trap, const GuestActionNote& note, ServiceState& state,
            ServiceMemory& memory) {
    switch (note.kind) {
        case GuestActionNote::Kind::CheckIn:
            return FinishInterruptedCheckIn(note, state, memory);
        case GuestActionNote::Kind::CheckOut:
        case GuestActionNote::Kind::Delete:
            return FinishInterruptedCheckOut(state, note);
        case GuestActionNote::Kind::Move:
            return finishMove(trap, state, note);
        case GuestActionNote::Kind::Swap:
            return finishSwap(trap, state, note);
    }
    return false;
}

// A note whose action cannot be finished (a server that keeps refusing) does
// not hold the sweeps up for ever.
constexpr int kMostAttempts = 5;

}  // namespace

bool FinishInterruptedGuestAction(ServiceState& state, ServiceMemory& memory) {
    ErrorTrap trap("FinishInterruptedGuestAction", "Module", "modPMSFunctions");
    GuestActionJournal& journal = state.guestActions;
    std::optional<GuestActionNote> note = GuestActionJournal::noted();
    if (!note) {
        journal.forget();  // a note begun and never written leaves its key
        return true;
    }
    const int errorsBefore = trap.errors();
    bool done = false;
    trap.step([&] { done = finish(trap, *note, state, memory); });
    done = done && trap.errors() == errorsBefore;
    // Then what the sweep does after such an action: an occupied row's names
    // and language go to the guest now on it, and the rows' flags go, only
    // once it is done (a row still flagged would make the sweep do it again).
    if (done)
        for (const PmsRoom& row : note->rows) {
            if (row.occupied())
                done = trap.step([&] { UpdateGuestOnRoom(row, state, memory); }) && done;
            done = ClearPMSDBUpdatedByPTCEFlag(state, row, memory.flagsClearedThisSweep) && done;
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
