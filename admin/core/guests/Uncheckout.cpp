#include "admin/core/guests/Uncheckout.h"

#include <QScopeGuard>

#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "admin/core/guests/LampResync.h"
#include "admin/core/guests/UncheckoutService.h"
#include "admin/core/localize/LanguageStrings.h"
#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/GuestAlias.h"
#include "common/GuestCheckOut.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/Lamps.h"
#include "common/SubscriberCommands.h"
#include "common/VoiceServerObjects.h"
#include "platform/clock.h"

using modLocalize::myLoadResString;
using namespace platform::db;
using Kind = Prompt::Kind;

namespace {

constexpr int kShortestObjectId = 10;
constexpr int kLampPauseMs = 50;

}  // namespace

QString restoredDisplayName(const QString& firstName, const QString& lastName) {
    return firstName + QLatin1Char(' ') + lastName + QStringLiteral(" - GUEST");
}

UncheckoutOutcome UncheckoutGuest(AdminState& admin, const QString& objectId,
                                  const UncheckoutHooks& hooks) {
    ErrorTrap trap("cmdUncheckout_Click", "Form", "frmGuestView");
    const QString& connection = admin.voiceServerConnection;
    const auto busy = [&hooks](bool on) {
        if (hooks.setBusy) hooks.setBusy(on);
    };
    // Whatever happens, the pointer ends normal.
    const auto normalPointer = qScopeGuard([&busy] { busy(false); });
    const auto confirm = [&hooks](const QString& text, const QString& title) {
        return hooks.confirm && hooks.confirm(text, title);
    };
    const auto tell = [&hooks](const QString& text, Kind kind) {
        if (hooks.tell) hooks.tell(text, kind);
    };
    const auto refuse = [&admin, &tell](int id, Kind kind) {
        const QString text = myLoadResString(id);
        admin.logStep(text);
        tell(text, kind);
    };

    if (objectId.size() < kShortestObjectId) {
        tell(myLoadResString(1064), Kind::Warning);
        return UncheckoutOutcome::InvalidSelection;
    }
    admin.writeLog(QStringLiteral("********************"), false);
    admin.logStep(QStringLiteral("Starting uncheckout process for subscriber with ObjectID=") +
                  objectId);

    Recordset subscriber;
    subscriber.CursorLocation = adUseClient;
    trap.step([&] {
        subscriber.Open(GuestDirectory::sql(GuestDirectory::Query::SubscriberWithObjectId),
                        {objectId}, connection, adOpenStatic, adLockReadOnly);
    });
    const long found = subscriber.State() == adStateOpen ? subscriber.RecordCount() : 0;
    if (found == 0) {
        refuse(1046, Kind::Error);
        return UncheckoutOutcome::NotFound;
    }
    if (found > 1) {
        refuse(1061, Kind::Error);
        return UncheckoutOutcome::Ambiguous;
    }
    HotelGuest held;
    trap.step([&] { held = HotelGuest::fromCurrentRow(subscriber); });
    subscriber.Close();
    const QString& alias = held.alias;
    const GuestAlias archived(alias);
    const QString room = archived.room();
    // An archived alias names its room; one that names none cannot be restored.
    if (!archived.isArchivedGuest() || !GuestDirectory::isHotelConversation(held.conversation) ||
        room.isEmpty()) {
        refuse(1110, Kind::Warning);
        return UncheckoutOutcome::NotArchived;
    }
    admin.logStep(QStringLiteral("    Found user in database, they are a valid guest with alias=") +
                  alias);
    admin.logStep(QStringLiteral("    New extension number = ") + room);
    const QString displayName = restoredDisplayName(held.firstName, held.lastName);
    admin.logStep(QStringLiteral("    New display name=") + displayName);
    const QString newAlias = modPMSFunctions::strGenerateAlias(room);
    admin.logStep(QStringLiteral("    New alias=") + newAlias);

    if (!confirm(myLoadResString(1028) + room + myLoadResString(1023), myLoadResString(1089))) {
        admin.logStep(
            QStringLiteral("    User opted to bail out on confirmation - uncheckout aborted"));
        return UncheckoutOutcome::Cancelled;
    }
    admin.logStep(QStringLiteral(
        "    User has confirmed they want to uncheckout this guest, starting process..."));
    // The service, when it runs, must not act on the room halfway through;
    // stopped for the work, it starts again on every way out.
    UncheckoutService service(admin, room, tell);
    if (!service.agreed(confirm)) return UncheckoutOutcome::ServiceInTheWay;
    busy(true);

    QString reason, occupantName, occupantId;
    if (modPMSFunctions::IsHotelGuest(connection, room, reason, occupantName, occupantId)) {
        const QString question = myLoadResString(1113) + room + myLoadResString(1002) + occupantName + myLoadResString(1021);
        if (!confirm(question, myLoadResString(1120))) {
            admin.logStep(
                QStringLiteral("    There is already a guest in that room and the user "
                               "opted not to check them out.  Room uncheckout aborted."));
            return UncheckoutOutcome::OccupantStays;
        }
        admin.logStep(QStringLiteral(
            "    There is already a guest in that room and the user has opted to check it out. "
            "Attempting checkout operation..."));
        const modPMSFunctions::CheckOutFailureTexts texts{
            myLoadResString(1103), myLoadResString(1102),
            myLoadResString(1111) + QStringLiteral("\r\n") + myLoadResString(1125)};
        const bool checkedOut = modPMSFunctions::ActionCheckOut(
            connection, occupantId, room, occupantName, texts,
            [&tell](const QString& text) { tell(text, Kind::Error); });
        if (!checkedOut) {
            admin.logStep(QStringLiteral(
                "    The checkout operation failed.  Cannot proceed with uncheckout, aborting."));
            tell(myLoadResString(1051), Kind::Error);
            return UncheckoutOutcome::OccupantNotCheckedOut;
        }
        admin.logStep(QStringLiteral(
            "    Checkout of existing guest complete, proceeding with uncheckout operation."));
    }
    busy(true);

    modPMSFunctions::SubscriberCommands subscribers(trap, connection);
    modPMSFunctions::SubscriberModification restored =
        subscribers.giveExtension(objectId, room, displayName);
    if (!restored.hasRow()) {
        busy(false);
        admin.logStep(
            QStringLiteral("(error) an error occured in the sp_ModifySubscriber stored "
                           "procedure.  Uncheckout operation failed."));
        tell(myLoadResString(1127) + restored.error, Kind::Error);
        return UncheckoutOutcome::ModifyFailed;
    }
    admin.logStep(
        QStringLiteral("    sp_ModifySubscriber stored procedure completed, updating "
                       "alias and UID for unchecked out guest"));
    subscribers.renameTo(restored.row, newAlias);
    restored.row.Close();

    const QString ticket = modPMSFunctions::strGenerateGUID();
    subscribers.requestDirectorySync(objectId, ticket, adLockReadOnly);
    if (!modPMSFunctions::bWaitForDirectorySync(ticket, connection)) {
        busy(false);
        const QString failed = QStringLiteral(
            "The syncronization process with the directory failed for this subscriber during modification.");
        admin.logStep(QStringLiteral("(error) ") + failed + QStringLiteral("\r\n") +
                      QStringLiteral("You can check the Syncovar logs in the \\corevane\\logs "
                                     "directory for more details"));
        tell(myLoadResString(1112) + QStringLiteral("\r\n") + myLoadResString(1125), Kind::Error);
        return UncheckoutOutcome::SyncFailed;
    }

    platform::clock().sleepMs(kLampPauseMs);
    const std::shared_ptr<INotifier> lamps = administrationNotifier(admin);
    modPMSFunctions::SetMWIsForGuest(connection, lamps, objectId);
    platform::clock().sleepMs(kLampPauseMs);
    modPMSFunctions::ForceMWISyncForGuest(lamps, objectId);
    if (hooks.reloadGuests) hooks.reloadGuests();
    busy(false);
    service.resume();
    admin.logStep(QStringLiteral("Uncheckout process for this guest is complete"));
    admin.writeLog(QString(), false);
    tell(myLoadResString(1119), Kind::Information);
    return UncheckoutOutcome::Restored;
}
