#pragma once
// A guest who changes rooms keeps the mailbox: the subscriber is given the
// new room's number as its primary extension and a new alias (also its UID),
// loses its alternate extensions, is synchronised with the directory, and its
// lamps are brought in line with the new room.
#include <QString>

struct ServiceState;

namespace modPMSFunctions {

// Moves the guest's subscriber from oldRoom to newRoom (each the room's
// primary extension). Refused, with nothing changed, while any object of the
// dialing domain uses newRoom. True when the subscriber was moved and the
// directory synchronisation succeeded.
bool ActionRoomMove(ServiceState& state, const QString& subscriberObjectId, const QString& oldRoom,
                    const QString& newRoom);

// Exchanges the rooms of two guests: subscriber 1 (now in room1) gets room2's
// number and an alias made for room2, subscriber 2 gets room1's. Both lose
// every extension before either gets its new one. True once both
// modifications went through, even when a directory synchronisation failed
// (that is reported on its own): the exchange is made and must not be
// repeated.
bool ActionRoomSwap(ServiceState& state, const QString& room1, const QString& subscriberObjectId1,
                    const QString& room2, const QString& subscriberObjectId2);

}  // namespace modPMSFunctions
