#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/Lamps.h"
#include "common/ServiceState.h"
#include "common/SubscriberCommands.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "service/RoomChanges.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

constexpr int kAfterRemovingExtensionsMs = 500;
constexpr int kAfterLampsMs = 50;

}  // namespace

bool ActionRoomSwap(ServiceState& state, const QString& room1, const QString& subscriberObjectId1,
                    const QString& room2, const QString& subscriberObjectId2) {
    ErrorTrap trap("ActionRoomSwap", "Module", "modPMSFunctions");
    SubscriberCommands subscribers(trap, state.voiceServerConnection);
    const auto debug = [&](const QString& text) {
        modLogging::DebugLog(modLogging::EVENT_ROOM_SWAP_DEBUG, text, room1, room2);
    };
    const QString swapText =
        QStringLiteral(" for room swap from ") + room1 + QStringLiteral(" to ") + room2;
    // The failure of a modification after the first ("error E").
    const auto modifyFailed = [&](const SubscriberModification& m) {
        ReportError(
            QStringLiteral(
                "SubscriberModify stored procedure failed when updating SQL for swap suscriber "
                "function") +
            swapText + QStringLiteral("\r\nReason=") + m.error);
    };
    const QString syncFailed =
        QStringLiteral("SubscriberModify stored procedure failed to sync") + swapText;

    debug(QStringLiteral("Room swap process started"));
    // Both made in the same second, but for different rooms, so they differ.
    const QString alias1 = strGenerateAlias(room1);
    const QString alias2 = strGenerateAlias(room2);
    debug(QStringLiteral("Room 1=") + room1);
    debug(QStringLiteral("Alias 1=") + alias1);
    debug(QStringLiteral("SubscriberObjectID 1 =") + subscriberObjectId1);
    debug(QStringLiteral("Room 2=") + room2);
    debug(QStringLiteral("Alias 2=") + alias2);
    debug(QStringLiteral("SubscriberObjectID 2 =") + subscriberObjectId2);

    // Each takes the other's number, so both give up all of theirs first:
    // a service ended in between must not leave them without.
    GuestActionNote note;
    note.kind = GuestActionNote::Kind::Swap;
    note.subscribers = {subscriberObjectId1, subscriberObjectId2};
    note.rooms = {room2, room1};
    note.aliases = {alias2, alias1};
    note.room = room1;
    state.guestActions.note(note);

    debug(QStringLiteral("Forcing lamp off for room #1") + room1);
    SetMWIsForGuest(state, subscriberObjectId1, false);
    debug(QStringLiteral("Forcing lamp off for room #2") + room2);
    SetMWIsForGuest(state, subscriberObjectId2, false);
    platform::clock().sleepMs(kAfterLampsMs);
    debug(QStringLiteral("Lamp forcing complete") + room1);

    const QString removeAlternates = QStringLiteral("sp_RemoveAltDTMFIDsByOID");
    const QString removePrimary = QStringLiteral("sp_DeleteDTMFAccessID");
    subscribers.runFor(removeAlternates, QStringLiteral("@strGUID"), subscriberObjectId1);
    debug(QStringLiteral("Alternate extensions removed for subscriber 1"));
    subscribers.runFor(removePrimary, QStringLiteral("@ParentOID"), subscriberObjectId1);
    debug(QStringLiteral("Primary extension removed for subscriber 1"));
    subscribers.runFor(removeAlternates, QStringLiteral("@strGUID"), subscriberObjectId2);
    debug(QStringLiteral("Alternate extensions removed for subscriber 2"));
    subscribers.runFor(removePrimary, QStringLiteral("@ParentOID"), subscriberObjectId2);
    debug(QStringLiteral("Primary extension removed for subscriber 2"));
    platform::clock().sleepMs(kAfterRemovingExtensionsMs);

    // Subscriber `n` takes `room` and `alias`, with its own synchronisation;
    // false when a modification returned no row. A failed synchronisation is
    // reported and the exchange goes on.
    const auto handOver = [&](int n, const QString& objectId, const QString& room, const QString& alias,
                              LockTypeEnum syncLock) {
        const QString subscriber = QStringLiteral("subscriber %1").arg(n);
        debug(QStringLiteral("Calling sp_ModifySubscriber for ") + subscriber);
        SubscriberModification modified = subscribers.giveExtension(objectId, room);
        if (!modified.hasRow()) {
            // The first modification's failure has a text of its own.
            if (n == 1)
                ReportError(QStringLiteral("SubscriberModify stored procedure failed when updating SQL for swap suscriber "
                                           "function: ") +
                            modified.error);
            else
                modifyFailed(modified);
            return false;
        }
        subscribers.renameTo(modified.row, alias);
        modified.row.Close();
        const QString ticket = strGenerateGUID();
        SubscriberModification sync = subscribers.requestDirectorySync(objectId, ticket, syncLock);
        if (!sync.hasRow()) {
            modifyFailed(sync);
            return false;
        }
        sync.row.Close();
        debug(QStringLiteral("Call to directory sync done for ") + subscriber +
              QStringLiteral(", waiting for sync to complete"));
        if (!bWaitForDirectorySync(ticket, state.voiceServerConnection))
            ReportError(syncFailed);
        else
            debug(QStringLiteral("Call to directory sync finished for ") + subscriber);
        return true;
    };
    if (!handOver(1, subscriberObjectId1, room2, alias2, adLockReadOnly)) return false;
    if (!handOver(2, subscriberObjectId2, room1, alias1, adLockOptimistic)) return false;

    debug(QStringLiteral("Forcing MWI to resynch for Subcribers with ObjectID=") +
          subscriberObjectId1 + QStringLiteral(" and ObjectID=") + subscriberObjectId2);
    ForceMWISyncForGuest(state, subscriberObjectId1);
    ForceMWISyncForGuest(state, subscriberObjectId2);
    platform::clock().sleepMs(kAfterLampsMs);
    debug(QStringLiteral("Lamp resynch complete"));
    return true;
}

}  // namespace modPMSFunctions
