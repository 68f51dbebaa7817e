#include "common/Lamps.h"

#include "common/ErrorTrap.h"
#include "common/GuestDirectory.h"
#include "common/ServiceState.h"
#include "common/VoiceServerObjects.h"
#include "common/VoxarenVersion.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "platform/db/recordset.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// Who asks for the lamps, and how.
struct LampCaller {
    QString connection;                  // the voice-messaging server
    std::shared_ptr<INotifier> notifier;  // for re-evaluating the lamps
    ServiceState* service =
        nullptr;  // the service's form: debug lines, the notifier way on newer servers
};

// The service's notifier way is used from server version 4.0.3.89 on.
bool notifierWay() { return IsVoxarenVersionAtLeast(4, 0, 3, 89); }

void debug(const LampCaller& caller, const QString& text) {
    if (caller.service) modLogging::DebugLog(modLogging::EVENT_CHECK_IN_DEBUG, text);
}

// The service's handle, obtained again (with its error line) when it was lost.
std::shared_ptr<INotifier> serviceNotifier(ServiceState& state, const char* procedure) {
    if (!state.notifier) {
        ReportError(QStringLiteral("(error): iNotifier handle lost - restablishing.  Procedure %1 of Module modPMSFunctions")
                        .arg(QLatin1String(procedure)));
        const std::shared_ptr<IServerObjects> locator = serverObjects();
        if (locator) state.notifier = locator->GetNotifier();
    }
    return state.notifier;
}

INotifier& required(const std::shared_ptr<INotifier>& notifier) {
    if (!notifier) throw platform::Error(91, QStringLiteral("Object variable or With block variable not set"));
    return *notifier;
}

void forceSync(const LampCaller& caller, const QString& objectId) {
    ErrorTrap trap("ForceMWISyncForGuest", "Module", "modPMSFunctions");
    if (caller.service && notifierWay()) {
        trap.step([&] { required(caller.notifier).ResyncSubscriberMWI(objectId); });
        platform::clock().sleepMs(50);
        trap.step([&] { required(caller.notifier).RefreshSubscriberMWI(objectId, true); });
    } else {
        trap.step([&] { required(caller.notifier).ResyncSubscriberMWI(objectId); });
    }
    platform::clock().sleepMs(200);
}

// The table way: one lamp device per extension of the guest, replacing the
// guest's devices (their parent alias and switch kept), then re-evaluated.
void setUpLampDevices(const LampCaller& caller, const QString& objectId) {
    ErrorTrap trap("SetMWIsForGuest", "Module", "modPMSFunctions");
    debug(caller, QStringLiteral("MWI devices being set for guest with ObjectID=") + objectId);
    Recordset extensions;
    Recordset lamps;
    extensions.CursorLocation = adUseClient;
    lamps.CursorLocation = adUseClient;
    trap.step([&] {
        extensions.Open(QStringLiteral("SELECT * FROM vw_DTMFAccessID WHERE ParentObjectID=?"), {objectId},
                        caller.connection, adOpenKeyset, adLockReadOnly);
    });
    if (extensions.State() != adStateOpen) return;
    if (extensions.RecordCount() == 0) {
        ReportError(QStringLiteral("(error): no extensions found for subscriber passed to the SetMWIsForGuest function.  "
                                   "ObjectId=") +
                    objectId);
        return;
    }
    QString parentAlias;
    QVariant switchId;
    bool found = false;
    trap.step([&] {
        lamps.Open(QStringLiteral("SELECT * FROM NotificationMWI WHERE ParentObjectID=?"), {objectId}, caller.connection,
                   adOpenKeyset, adLockOptimistic);
        if (lamps.RecordCount() > 0) {
            parentAlias = lamps.Text(QStringLiteral("ParentAlias"));
            switchId = lamps.Value(QStringLiteral("SwitchID"));
            while (lamps.RecordCount() > 0) {
                lamps.Delete();
                lamps.MoveFirst();
            }
            found = true;
            return;
        }
        Recordset subscriber;
        subscriber.Open(QStringLiteral("SELECT Alias, SwitchID from vw_Subscriber WHERE SubscriberObjectID=?"),
                        {objectId}, caller.connection, adOpenKeyset, adLockReadOnly);
        if (subscriber.RecordCount() != 1) {
            ReportError(QStringLiteral("(error): could not find Subscriber in SetMWIsForGuest function by ObjectID=") +
                        objectId);
            return;
        }
        parentAlias = subscriber.Text(QStringLiteral("Alias"));
        switchId = subscriber.Value(QStringLiteral("SwitchID"));
        found = true;
    });
    if (!found) return;
    for (extensions.MoveFirst(); !extensions.IsEOF(); extensions.MoveNext()) {
        trap.step([&] {
            const GuestDirectory::HeldExtension held = GuestDirectory::heldExtension(extensions);
            const QString& extension = held.extension;
            const bool primary = held.primary.toBool();
            const QString alias = primary ? QStringLiteral("MWI-1") : parentAlias + extension;
            lamps.AddNew();
            lamps.SetValue(QStringLiteral("ParentAlias"), parentAlias);
            lamps.SetValue(QStringLiteral("ParentObjectID"), objectId);
            lamps.SetValue(QStringLiteral("ParentObjectIDType"), 1);
            lamps.SetValue(QStringLiteral("MWIMediaTypes"), 2);
            lamps.SetValue(QStringLiteral("MWIMessageTypes"), 3);
            lamps.SetValue(QStringLiteral("MWIOn"), 0);
            lamps.SetValue(QStringLiteral("Alias"), alias);
            lamps.SetValue(QStringLiteral("MWIExtension"), primary ? QStringLiteral("X") : extension);
            lamps.SetValue(QStringLiteral("UID"), alias);
            lamps.SetValue(QStringLiteral("SwitchID"), switchId);
            lamps.Update();
            debug(caller, QStringLiteral("MWI devices added with alias=") + alias);
        });
    }
    // New devices start off; the re-evaluation sets them.
    platform::clock().sleepMs(50);
    if (caller.service)
        ForceMWISyncForGuest(*caller.service, objectId);
    else
        forceSync(caller, objectId);
}

LampCaller serviceCaller(ServiceState& state, const char* procedure) {
    return {state.voiceServerConnection, serviceNotifier(state, procedure), &state};
}

}  // namespace

void SetMWIsForGuest(ServiceState& service, const QString& subscriberObjectId, bool on) {
    const LampCaller caller = serviceCaller(service, "SetMWIsForGuest");
    if (notifierWay()) {
        ErrorTrap trap("SetMWIsForGuest", "Module", "modPMSFunctions");
        debug(caller, QStringLiteral("MWI being forced to state=") +
                          (on ? QStringLiteral("True") : QStringLiteral("False")) +
                          QStringLiteral(" for guest with ObjectID=") + subscriberObjectId);
        trap.step([&] { required(caller.notifier).SetSubscriberMWI(subscriberObjectId, on); });
        return;
    }
    setUpLampDevices(caller, subscriberObjectId);
}

void ForceMWISyncForGuest(ServiceState& service, const QString& subscriberObjectId) {
    forceSync(serviceCaller(service, "ForceMWISyncForGuest"), subscriberObjectId);
}

void SetMWIsForGuest(const QString& connection, const std::shared_ptr<INotifier>& notifier,
                     const QString& subscriberObjectId) {
    setUpLampDevices({connection, notifier, nullptr}, subscriberObjectId);
}

void ForceMWISyncForGuest(const std::shared_ptr<INotifier>& notifier, const QString& subscriberObjectId) {
    forceSync({QString(), notifier, nullptr}, subscriberObjectId);
}

}  // namespace modPMSFunctions
