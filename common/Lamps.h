#pragma once
// A guest's message-waiting lamps on the voice-messaging server: switched on
// or off through the server's notifier, or set up as lamp devices (one row of
// NotificationMWI per extension) on servers older than 4.0.3.89, and
// re-evaluated by the server on request.
//
// The service's forms keep the notifier handle in the service's state and
// get it again when it is lost; the administration's forms (after restoring a
// guest) always set up the devices, write no debug lines and use the
// notifier the administration obtained at its start.
#include <QString>
#include <memory>

class INotifier;
struct ServiceState;

namespace modPMSFunctions {

// The service's: the lamps of the subscriber forced on or off (the notifier
// way), or its lamp devices set up anew and re-evaluated (the table way,
// where `on` is not used).
void SetMWIsForGuest(ServiceState& service, const QString& subscriberObjectId, bool on);
// The service's: the server re-evaluates the subscriber's lamps.
void ForceMWISyncForGuest(ServiceState& service, const QString& subscriberObjectId);

// The administration's: the subscriber's lamp devices set up anew on the
// server at `connection`, then re-evaluated through `notifier`.
void SetMWIsForGuest(const QString& connection, const std::shared_ptr<INotifier>& notifier,
                     const QString& subscriberObjectId);
// The administration's: the server re-evaluates the lamps (no refresh).
void ForceMWISyncForGuest(const std::shared_ptr<INotifier>& notifier, const QString& subscriberObjectId);

}  // namespace modPMSFunctions
