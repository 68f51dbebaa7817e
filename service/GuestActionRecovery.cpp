#include "service/GuestActionRecovery.h"

#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/GuestActionJournal.h"
#include "common/GuestCheckOut.h"
#include "common/Lamps.h"
#include "common/ServiceState.h"
#include "common/VoxarenVersion.h"
#include "common/modLogging.h"
#include "common/modPMSFunctions.h"
#include "platform/db/recordset.h"
#include "service/CheckIn.h"
#include "service/SubscriberCommands.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// A subscriber's alias and primary extension as the server holds them.
struct Held {
    bool exists = false;
    QString alias, extension;
};

Held heldBy(const QString& objectId) {
    Held held;
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Alias, DTMFAccessID FROM vw_Subscriber WHERE SubscriberObjectID=?"), {objectId},
            serviceState().voiceServerConnection, adOpenKeyset, adLockReadOnly);
    if (rs.IsEOF()) return held;
    held = {true, rs.Text(QStringLiteral("Alias")), rs.Text(QStringLiteral("DTMFAccessID"))};
    return held;
}

// Gives the subscriber `room` as its primary extension and `alias` (also its
// UID), with a directory synchronisation, unless it has both already.
void takeOver(ErrorTrap& trap, const QString& objectId, const QString& room, const QString& alias) {
    const Held held = heldBy(objectId);
    if (!held.exists || (held.extension == room && held.alias == alias)) return;
    SubscriberModification given = giveExtension(trap, objectId, room);
    if (!given.hasRow()) {
        ReportError(QStringLiteral("The interrupted guest action could not give room %1 to the subscriber with "
                                   "ObjectID=%2: %3")
                        .arg(room, objectId, given.error));
        return;
    }
    renameTo(trap, given.row, alias);
    given.row.Close();
    const QString ticket = strGenerateGUID();
    SubscriberModification sync = requestDirectorySync(trap, objectId, ticket, adLockReadOnly);
    if (sync.hasRow()) bWaitForDirectorySync(ticket);
}

void removeAlternates(ErrorTrap& trap, const QString& objectId) {
    runForSubscriber(trap, QStringLiteral("sp_RemoveAltDTMFIDsByOID"), QStringLiteral("@strGUID"), objectId);
}

void finishMove(ErrorTrap& trap, const GuestActionNote& note) {
    const QString objectId = note.subscribers.value(0);
    removeAlternates(trap, objectId);
    takeOver(trap, objectId, note.rooms.value(0), note.aliases.value(0));
    if (!IsVoxarenVersionAtLeast(4, 0, 3, 80)) SetMWIsForGuest(objectId, false);
    ForceMWISyncForGuest(objectId);
}

// Both give up every number that is not the one they are to have, and only
// then does each take its own: whichever step the swap had reached.
void finishSwap(ErrorTrap& trap, const GuestActionNote& note) {
    for (const QString& objectId : note.subscribers) removeAlternates(trap, objectId);
    for (int i = 0; i < note.subscribers.size(); ++i)
        trap.step([&] {
            const Held held = heldBy(note.subscribers[i]);
            if (held.exists && !held.extension.isEmpty() && held.extension != note.rooms.value(i))
                runForSubscriber(trap, QStringLiteral("sp_DeleteDTMFAccessID"), QStringLiteral("@ParentOID"),
                                 note.subscribers[i]);
        });
    for (int i = 0; i < note.subscribers.size(); ++i)
        trap.step([&] { takeOver(trap, note.subscribers[i], note.rooms.value(i), note.aliases.value(i)); });
    for (const QString& objectId : note.subscribers) ForceMWISyncForGuest(objectId);
}

}  // namespace

void FinishInterruptedGuestAction() {
    ErrorTrap trap("FinishInterruptedGuestAction", "Module", "modPMSFunctions");
    ServiceState& state = serviceState();
    const std::optional<GuestActionNote> note = GuestActionJournal::noted();
    if (note) {
        modLogging::LogServiceEvent(modLogging::EVENT_ERROR, modLogging::SEVERITY_WARNING,
                        QStringLiteral("The %1 of room %2 was interrupted when the service ended: it is finished now.")
                            .arg(note->kindName(), note->room),
                        true);
        trap.step([&] {
            switch (note->kind) {
                case GuestActionNote::Kind::CheckIn: FinishInterruptedCheckIn(*note); break;
                case GuestActionNote::Kind::CheckOut:
                case GuestActionNote::Kind::Delete: FinishInterruptedCheckOut(*note); break;
                case GuestActionNote::Kind::Move: finishMove(trap, *note); break;
                case GuestActionNote::Kind::Swap: finishSwap(trap, *note); break;
            }
        });
        for (const PmsRoom& row : note->rows) ClearPMSDBUpdatedByPTCEFlag(row);
    }
    state.guestActions.forget();
}

}  // namespace modPMSFunctions
