#pragma once
// The stored-procedure calls a room change makes on a guest subscriber of the
// service's voice-messaging server, each guarded by the caller's error trap.
#include <QString>

#include "common/ErrorTrap.h"
#include "platform/db/recordset.h"

namespace modPMSFunctions {

// What a modification handed back: the subscriber's row (none when the
// server does not know the subscriber or the call failed) and the
// description of the error the call raised ("" when it raised none).
struct SubscriberModification {
    platform::db::Recordset row;
    QString error;
    bool hasRow() const;
};

// Runs a procedure whose one parameter names the subscriber, e.g.
// sp_RemoveAltDTMFIDsByOID with "@strGUID".
void runForSubscriber(ErrorTrap& trap, const QString& procedure, const QString& parameter,
                      const QString& objectId);

// sp_ModifySubscriber giving the subscriber `extension` as its primary
// extension, without a directory synchronisation; the row is updatable.
SubscriberModification giveExtension(ErrorTrap& trap, const QString& objectId,
                                     const QString& extension);

// Sets the row's Alias and UID to the alias and writes it back.
void renameTo(ErrorTrap& trap, platform::db::Recordset& row, const QString& alias);

// sp_ModifySubscriber asking for a directory synchronisation under the ticket.
SubscriberModification requestDirectorySync(ErrorTrap& trap, const QString& objectId,
                                            const QString& ticket, platform::db::LockTypeEnum lockType);

}  // namespace modPMSFunctions
