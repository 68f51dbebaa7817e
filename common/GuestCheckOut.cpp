#include "common/GuestCheckOut.h"

#include <QFile>

#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/GreetingRule.h"
#include "common/GuestAlias.h"
#include "common/Lamps.h"
#include "common/ServiceState.h"
#include "common/SubscriberCommands.h"
#include "common/VoxarenVersion.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "platform/db/command.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

constexpr int kAfterRemovingExtensionsMs = 500;

const QString kSyncLogsHint = QStringLiteral("You can check the Syncovar logs in the \\corevane\\logs directory for more details");

// What differs between the service's check-out and the administration's.
struct CheckOutCaller {
    QString connection;
    ServiceState* service = nullptr;  // the service's: log lines and lamps
    QString room;         // for the log lines' primary-room field
    CheckOutFailureTexts texts;
    std::function<void(const QString&)> fail;  // how a failure is reported
};

const CheckOutFailureTexts& serviceTexts() {
    static const CheckOutFailureTexts texts{
        QStringLiteral("SubscriberCreate stored procedure failed when updating SQL: "),
        QStringLiteral("SubscriberCreate stored procedure failed when syncying to directory: "),
        QStringLiteral("The syncronization process with the directory failed for this subscriber during checkout.\r\n") +
            kSyncLogsHint};
    return texts;
}

// The file of the guest's own greeting in the stream files, as check-in
// names it (its first alias + ".wav"), or "" for a greeting the guest shares
// with others (the template's).
QString ownGreetingFile(const QString& connection, const QString& objectId) {
    const QString file = GreetingRule::fileOf(connection, objectId);
    return GuestAlias::namesGuestGreeting(file) ? file : QString();
}

void debug(const CheckOutCaller& caller, const QString& text) {
    if (caller.service) modLogging::DebugLog(modLogging::EVENT_CHECK_OUT_DEBUG, text, caller.room);
}

// What a checked-out guest becomes: the archived form of a new guest alias, and the room
// followed by the check-out time as its only extension.
struct Archive {
    QString alias, extension;
    static Archive forRoom(const QString& room) {
        return {GuestAlias(strGenerateAlias(room)).archived().text(),
                room + platform::clock().now().toString(QStringLiteral("yyyyMMddHHmmss"))};
    }
};

// The guest archived under its archive alias and extension, and synchronised
// with the directory. Made again with the same values it changes nothing more.
bool archive(const CheckOutCaller& caller, const QString& objectId, const QString& displayName, const Archive& to) {
    ErrorTrap trap("ActionCheckOut", "Module", "modPMSFunctions");
    const QString& newAlias = to.alias;
    const QString& newExtension = to.extension;
    debug(caller, QStringLiteral("New subscriber alias=") + newAlias);
    debug(caller, QStringLiteral("New primary extension=") + newExtension);
    debug(caller, QStringLiteral("Removing alternate extensions"));

    SubscriberCommands subscribers(trap, caller.connection);
    subscribers.runFor(QStringLiteral("sp_RemoveAltDTMFIDsByOID"), QStringLiteral("@strGUID"),
                       objectId);
    platform::clock().sleepMs(kAfterRemovingExtensionsMs);
    debug(caller, QStringLiteral("Alternate extensions removed"));

    debug(caller, QStringLiteral("Calling sp_ModifySubscriber"));
    SubscriberModification archived = subscribers.giveExtension(
        objectId, newExtension, displayName + QStringLiteral(": CHECKED OUT"));
    if (!archived.hasRow()) {
        caller.fail(caller.texts.updateFailed + trap.lastDescription());
        return false;
    }
    subscribers.renameTo(archived.row, newAlias);
    archived.row.Close();

    const QString ticket = strGenerateGUID();
    if (!subscribers.requestDirectorySync(objectId, ticket, adLockReadOnly).hasRow()) {
        caller.fail(caller.texts.syncFailed + trap.lastDescription());
        return false;
    }
    debug(caller, QStringLiteral("Call to directory sync done, waiting for sync to complete"));
    if (!bWaitForDirectorySync(ticket, caller.connection)) {
        caller.fail(caller.texts.syncNotDone);
        return false;
    }
    debug(caller, QStringLiteral("Directory sync complete"));
    if (caller.service) SetMWIsForGuest(*caller.service, objectId, false);
    return true;
}

}  // namespace

bool DeleteGuest(const ServiceState& state, const QString& subscriberObjectId, const QString& room,
                 const QString& alias, const QString& displayName) {
    ErrorTrap trap("DeleteGuest", "Module", "modPMSFunctions");
    const auto debug = [&](const QString& text) {
        modLogging::DebugLog(modLogging::EVENT_ROOM_DELETE_DEBUG, text, room);
    };
    debug(QStringLiteral("Starting room delete"));
    debug(QStringLiteral("Alias=") + alias);
    debug(QStringLiteral("Display Name=") + displayName);
    debug(QStringLiteral("ObjectID=") + subscriberObjectId);

    QString greeting;
    trap.step([&] { greeting = ownGreetingFile(state.voiceServerConnection, subscriberObjectId); });
    const QString ticket = strGenerateGUID();
    trap.step([&] {
        Command remove(state.voiceServerConnection, QStringLiteral("sp_DeleteSubscriber"));
        remove.SetParameter(QStringLiteral("@SubscriberObjectID"), subscriberObjectId);
        remove.SetParameter(QStringLiteral("@DirectorySync"), 1);
        remove.SetParameter(QStringLiteral("@DirectorySyncFlags"), 3);
        remove.SetParameter(QStringLiteral("@ForceRemove"), 1);
        if (IsVoxarenVersionAtLeast(5, 0, 0, 0))
            remove.SetParameter(QStringLiteral("@ForceRemoveEAdmin"), 1);
        remove.SetParameter(QStringLiteral("@DirectorySyncTicket"), ticket);
        remove.Execute();  // its rows are not looked at
    });
    debug(QStringLiteral("Call to directory sync done, waiting for sync to complete"));
    if (!bWaitForDirectorySync(ticket, state.voiceServerConnection)) {
        ReportError(QStringLiteral("SQL Sync to directory failed when deleting room ") + room + QStringLiteral("\r\n") +
                    kSyncLogsHint);
        return false;
    }
    debug(QStringLiteral("Directory sync complete"));
    // The guest's own greeting goes with it; nothing else uses the file.
    if (!greeting.isEmpty() && !subscriberNumbers(state.voiceServerConnection, subscriberObjectId))
        QFile::remove(state.settings.StreamFilesPath + greeting);
    return true;
}

bool ActionCheckOut(ServiceState& state, const QString& subscriberObjectId, const QString& room,
                    const QString& alias, const QString& displayName) {
    const CheckOutCaller caller{state.voiceServerConnection, &state, room, serviceTexts(),
                                ReportError};
    debug(caller, QStringLiteral("Checkout process started"));
    debug(caller, QStringLiteral("Forcing MWI off for the room"));
    SetMWIsForGuest(state, subscriberObjectId, false);
    debug(caller, QStringLiteral("MWI forced off for the room"));

    GuestActionNote note;
    note.subscribers = {subscriberObjectId};
    note.room = room;
    note.displayName = displayName;
    if (state.settings.MailboxArchiveDays == 0) {
        modLogging::MyDiagnosticLog(QStringLiteral("Archive days set to 0 - skipping archive of room and deleting it directly"),
                                    modLogging::EVENT_CHECK_OUT_DEBUG, room, QString(), true);
        note.kind = GuestActionNote::Kind::Delete;
        note.aliases = {alias};
        state.guestActions.note(note);
        // The check-out is as good as its deletion.
        return DeleteGuest(state, subscriberObjectId, room, alias, displayName);
    }
    const Archive to = Archive::forRoom(room);
    note.kind = GuestActionNote::Kind::CheckOut;
    note.rooms = {to.extension};
    note.aliases = {to.alias};
    state.guestActions.note(note);
    return archive(caller, subscriberObjectId, displayName, to);
}

bool FinishInterruptedCheckOut(ServiceState& state, const GuestActionNote& note) {
    const QString objectId = note.subscribers.value(0);
    const QString& server = state.voiceServerConnection;
    if (note.kind == GuestActionNote::Kind::Delete) {
        // Deleted already, or deleted now.
        return !subscriberNumbers(server, objectId) ||
               DeleteGuest(state, objectId, note.room, note.aliases.value(0), note.displayName);
    }
    if (!subscriberNumbers(server, objectId)) return true;  // gone: nothing is left to archive
    const CheckOutCaller caller{server, &state, note.room, serviceTexts(), ReportError};
    return archive(caller, objectId, note.displayName, {note.aliases.value(0), note.rooms.value(0)});
}

bool ActionCheckOut(const QString& connection, const QString& subscriberObjectId, const QString& room,
                    const QString& displayName, const CheckOutFailureTexts& texts,
                    const std::function<void(const QString&)>& show) {
    return archive({connection, nullptr, room, texts, show}, subscriberObjectId, displayName,
                   Archive::forRoom(room));
}

}  // namespace modPMSFunctions
