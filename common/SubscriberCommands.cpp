#include "common/SubscriberCommands.h"

#include "common/HotelGuest.h"
#include "platform/db/command.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// The two directory-synchronisation flags of a modification: the top bit and the lowest.
constexpr qint32 kModifySyncFlags = qint32(0x80000001u);

}  // namespace

bool SubscriberModification::hasRow() const {
    return row.State() == adStateOpen && row.RecordCount() > 0;
}

SubscriberCommands::SubscriberCommands(ErrorTrap& trap, QString connection)
    : m_trap(trap), m_connection(std::move(connection)) {}

// Runs the command under the trap, keeping the description of its own error.
SubscriberModification SubscriberCommands::execute(Command& command, LockTypeEnum lockType) {
    SubscriberModification result;
    if (!m_trap.step([&] { result.row = command.Execute(lockType); }))
        result.error = m_trap.lastDescription();
    return result;
}

void SubscriberCommands::runFor(const QString& procedure, const QString& parameter,
                                const QString& objectId) {
    m_trap.step([&] {
        Command command(m_connection, procedure);
        command.SetParameter(parameter, objectId);
        command.Execute();
    });
}

SubscriberModification SubscriberCommands::giveExtension(
    const QString& objectId, const QString& extension, const std::optional<QString>& displayName) {
    Command modify(m_connection, QStringLiteral("sp_ModifySubscriber"));
    modify.SetParameter(QStringLiteral("@SubscriberObjectID"), objectId);
    if (displayName) modify.SetParameter(QStringLiteral("@DisplayName"), *displayName);
    modify.SetParameter(QStringLiteral("@DTMFAccessID"), extension);
    modify.SetParameter(QStringLiteral("@DirectorySync"), 0);
    return execute(modify, adLockOptimistic);
}

void SubscriberCommands::renameTo(Recordset& row, const QString& alias) {
    m_trap.step([&] {
        row.SetValue(HotelGuest::column(GuestColumn::Alias), alias);
        row.SetValue(HotelGuest::column(GuestColumn::Uid), alias);
        row.Update();
    });
}

SubscriberModification SubscriberCommands::requestDirectorySync(const QString& objectId,
                                                                const QString& ticket,
                                                                LockTypeEnum lockType) {
    Command sync(m_connection, QStringLiteral("sp_ModifySubscriber"));
    sync.SetParameter(QStringLiteral("@SubscriberObjectID"), objectId);
    sync.SetParameter(QStringLiteral("@DirectorySync"), 1);
    sync.SetParameter(QStringLiteral("@DirectorySyncFlags"), kModifySyncFlags);
    sync.SetParameter(QStringLiteral("@DirectorySyncTicket"), ticket);
    return execute(sync, lockType);
}

}  // namespace modPMSFunctions
