#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/ExtensionHolders.h"
#include "common/Lamps.h"
#include "common/ServiceState.h"
#include "common/SubscriberCommands.h"
#include "common/VoxarenVersion.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "service/RoomChanges.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

constexpr int kAfterRemovingExtensionsMs = 500;
constexpr int kBetweenLampStepsMs = 50;

const QString kModifyFailed =
    QStringLiteral("SubscriberModify stored procedure failed when updating SQL: ");

// Every object of the dialing domain that uses the extension, as one text of
// "Extension= ... is owned by ... with a Display Name= ....  " parts ("" when
// none). False when the look-up itself failed.
bool describeHolders(ErrorTrap& trap, const QString& server, const QString& extension,
                     QString& holders) {
    return trap.step([&] {
        Recordset rs;
        rs.Open(ExtensionHolders::dialingDomainQuery(), {extension}, server, adOpenKeyset,
                adLockReadOnly);
        holders = ExtensionHolders::describe(rs);
        rs.Close();
    });
}

}  // namespace

bool ActionRoomMove(ServiceState& state, const QString& subscriberObjectId, const QString& oldRoom,
                    const QString& newRoom) {
    ErrorTrap trap("ActionRoomMove", "Module", "modPMSFunctions");
    const QString& server = state.voiceServerConnection;
    SubscriberCommands subscribers(trap, server);
    const auto debug = [&](const QString& text) {
        modLogging::DebugLog(modLogging::EVENT_ROOM_MOVE_DEBUG, text, oldRoom, newRoom);
    };
    debug(QStringLiteral("Room Move process started"));

    QString holders;
    // A move whose new number could not be checked is not made: nothing has changed yet.
    if (!describeHolders(trap, server, newRoom, holders)) return false;
    if (!holders.isEmpty()) {
        ReportError(
            QStringLiteral("An attempted room move into room number ") + newRoom +
            QStringLiteral(
                " failed due to a conflict with that extension in the database.  All objects "
                "found to be using that extension: ") +
            holders);
        return false;
    }

    const QString newAlias = strGenerateAlias(newRoom);
    debug(QStringLiteral("Old Room number=") + oldRoom);
    debug(QStringLiteral("New Room number=") + newRoom);
    debug(QStringLiteral("New Alias=") + newAlias);
    debug(QStringLiteral("SubscriberObjectID=") + subscriberObjectId);

    GuestActionNote note;
    note.kind = GuestActionNote::Kind::Move;
    note.subscribers = {subscriberObjectId};
    note.rooms = {newRoom};
    note.aliases = {newAlias};
    note.room = oldRoom;
    state.guestActions.note(note);

    debug(QStringLiteral("Clearing MWI for old room"));
    SetMWIsForGuest(state, subscriberObjectId, false);
    debug(QStringLiteral("MWI Cleared for old room"));

    // The new room's secondary extensions are not added here.
    subscribers.runFor(QStringLiteral("sp_RemoveAltDTMFIDsByOID"), QStringLiteral("@strGUID"),
                       subscriberObjectId);
    platform::clock().sleepMs(kAfterRemovingExtensionsMs);
    debug(QStringLiteral("Alternate extensions removed"));

    debug(QStringLiteral("Calling sp_ModifySubscriber"));
    SubscriberModification moved = subscribers.giveExtension(subscriberObjectId, newRoom);
    if (!moved.hasRow()) {
        ReportError(kModifyFailed + moved.error);
        return false;
    }
    subscribers.renameTo(moved.row, newAlias);
    moved.row.Close();

    const QString ticket = strGenerateGUID();
    SubscriberModification sync =
        subscribers.requestDirectorySync(subscriberObjectId, ticket, adLockOptimistic);
    if (!sync.hasRow()) {
        ReportError(kModifyFailed + sync.error);
        return false;
    }
    debug(QStringLiteral("Call to directory sync done, waiting for sync to complete"));
    if (!bWaitForDirectorySync(ticket, server)) {
        ReportError(
            QStringLiteral("SubscriberModify stored procedure failed to sync for room move from ") +
            oldRoom + QStringLiteral(" to ") + newRoom);
        return false;
    }
    debug(QStringLiteral("Call to directory sync finished"));
    platform::clock().sleepMs(kBetweenLampStepsMs);

    // Older servers need the new room's lamps switched off before they are re-evaluated.
    if (!IsVoxarenVersionAtLeast(4, 0, 3, 80)) {
        debug(QStringLiteral("Forcing MWI off for new room"));
        SetMWIsForGuest(state, subscriberObjectId, false);
        debug(QStringLiteral("MWI forced off for new room"));
        platform::clock().sleepMs(kBetweenLampStepsMs);
    }
    debug(QStringLiteral("Synching MWI for new room"));
    ForceMWISyncForGuest(state, subscriberObjectId);
    debug(QStringLiteral("MWI synched for new room"));
    return true;
}

}  // namespace modPMSFunctions
