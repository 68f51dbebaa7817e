#pragma once
// Check-in: a new guest subscriber for an occupied room, made from the
// subscriber template once none of the room's extensions is taken on the
// voice-messaging server, then given its password, greeting and alternate
// extensions, marked a hotel guest and synchronised into the directory.
#include <QString>
#include <QStringList>

struct GuestActionNote;
struct ServiceMemory;
struct ServiceState;

namespace modPMSFunctions {

// Who checks in, as the room's PMS row tells it.
struct NewGuest {
    QString room;  // the primary extension
    QString firstName, lastName;
    qint32 language = 1033;  // the language's LCID
    QString password;
    QStringList secondaryRooms;  // the room's four secondary extensions, as the row holds them
};

// True when the guest subscriber was created and its directory
// synchronisation finished. A conflict or a failure is written to the logs.
// The language is only logged: the sweep's update phase applies it. A
// conflict already reported for the room is not reported again; a new guest
// is queued for its welcome message.
bool ActionCheckIn(const NewGuest& guest, ServiceState& state, ServiceMemory& memory);

// Creates the guest under `alias` with the room as its primary extension and
// the non-empty secondary rooms as alternates; called by ActionCheckIn once
// the extensions are known to be free. True only when the directory
// synchronisation finished; a guest made before a later step failed stays on
// the server.
bool createGuest(const QString& alias, const NewGuest& guest, ServiceState& state,
                 ServiceMemory& memory);

// Finishes a check-in an ended service left between the creation and the
// end: the subscriber created under the note's alias is given what it lacks
// (password, greeting, alternate extensions, the hotel-guest mark and its
// synchronisation). True when it is complete, or was never created (the
// sweep checks the room in as usual).
bool FinishInterruptedCheckIn(const GuestActionNote& note, const ServiceState& state,
                              ServiceMemory& memory);

}  // namespace modPMSFunctions
