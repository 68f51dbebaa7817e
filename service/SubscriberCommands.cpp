#include "service/SubscriberCommands.h"

#include "common/ServiceState.h"
#include "platform/db/command.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// The two directory-synchronisation flags of a modification: the top bit and the lowest.
constexpr qint32 kModifySyncFlags = qint32(0x80000001u);

// Runs the command under the trap, keeping the description of its own error.
SubscriberModification execute(ErrorTrap& trap, Command& command, platform::db::LockTypeEnum lockType) {
    SubscriberModification result;
    if (!trap.step([&] { result.row = command.Execute(lockType); }))
        result.error = trap.lastDescription();
    return result;
}

}  // namespace

bool SubscriberModification::hasRow() const {
    return row.State() == adStateOpen && row.RecordCount() > 0;
}

void runForSubscriber(ErrorTrap& trap, const QString& procedure, const QString& parameter,
                      const QString& objectId) {
    trap.step([&] {
        Command command(serviceState().voiceServerConnection, procedure);
        command.SetParameter(parameter, objectId);
        command.Execute();
    });
}

SubscriberModification giveExtension(ErrorTrap& trap, const QString& objectId,
                                     const QString& extension) {
    Command modify(serviceState().voiceServerConnection, QStringLiteral("sp_ModifySubscriber"));
    modify.SetParameter(QStringLiteral("@SubscriberObjectID"), objectId);
    modify.SetParameter(QStringLiteral("@DTMFAccessID"), extension);
    modify.SetParameter(QStringLiteral("@DirectorySync"), 0);
    return execute(trap, modify, adLockOptimistic);
}

void renameTo(ErrorTrap& trap, Recordset& row, const QString& alias) {
    trap.step([&] {
        row.SetValue(QStringLiteral("Alias"), alias);
        row.SetValue(QStringLiteral("UID"), alias);
        row.Update();
    });
}

SubscriberModification requestDirectorySync(ErrorTrap& trap, const QString& objectId,
                                            const QString& ticket, platform::db::LockTypeEnum lockType) {
    Command sync(serviceState().voiceServerConnection, QStringLiteral("sp_ModifySubscriber"));
    sync.SetParameter(QStringLiteral("@SubscriberObjectID"), objectId);
    sync.SetParameter(QStringLiteral("@DirectorySync"), 1);
    sync.SetParameter(QStringLiteral("@DirectorySyncFlags"), kModifySyncFlags);
    sync.SetParameter(QStringLiteral("@DirectorySyncTicket"), ticket);
    return execute(trap, sync, lockType);
}

}  // namespace modPMSFunctions
