#pragma once
// The stored-procedure calls that change a guest subscriber of a
// voice-messaging server: a room change's, a check-out's and an un-checkout's. Each runs
// under the caller's error trap, on the connection it was given.
#include <QString>
#include <optional>

#include "common/ErrorTrap.h"
#include "platform/db/recordset.h"

namespace platform::db {
class Command;
}

namespace modPMSFunctions {

// What a modification handed back: the subscriber's row (none when the
// server does not know the subscriber or the call failed) and the
// description of the error the call raised ("" when it raised none).
struct SubscriberModification {
    platform::db::Recordset row;
    QString error;
    bool hasRow() const;
};

class SubscriberCommands {
public:
    SubscriberCommands(ErrorTrap& trap, QString connection);

    // Runs a procedure whose one parameter names the subscriber, e.g.
    // sp_RemoveAltDTMFIDsByOID with "@strGUID".
    void runFor(const QString& procedure, const QString& parameter, const QString& objectId);

    // sp_ModifySubscriber giving the subscriber `extension` as its primary
    // extension (and `displayName` when one is given), without a directory
    // synchronisation; the row is updatable.
    SubscriberModification giveExtension(const QString& objectId, const QString& extension,
                                         const std::optional<QString>& displayName = std::nullopt);

    // Sets the row's alias and UID to the alias and writes it back.
    void renameTo(platform::db::Recordset& row, const QString& alias);

    // sp_ModifySubscriber asking for a directory synchronisation under the ticket.
    SubscriberModification requestDirectorySync(const QString& objectId, const QString& ticket,
                                                platform::db::LockTypeEnum lockType);

private:
    SubscriberModification execute(platform::db::Command& command,
                                   platform::db::LockTypeEnum lockType);

    ErrorTrap& m_trap;
    QString m_connection;
};

}  // namespace modPMSFunctions
