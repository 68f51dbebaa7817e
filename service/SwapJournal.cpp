#include "service/SwapJournal.h"

#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "platform/db/recordset.h"
#include "platform/registry.h"
#include "service/SubscriberCommands.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

const QString kKey = QStringLiteral("Software\\Brightkeel\\Stavio\\Swap In Progress");
const char* const kNames[] = {"Subscriber 1", "Room 1", "Alias 1", "Subscriber 2", "Room 2", "Alias 2"};

QString* fieldsOf(SwapIntent& intent, int i) {
    QString* fields[] = {&intent.subscriber1, &intent.room1, &intent.alias1,
                         &intent.subscriber2, &intent.room2, &intent.alias2};
    return fields[i];
}

bool hasPrimaryExtension(const QString& objectId) {
    Recordset rs;
    rs.Open(QStringLiteral("SELECT DTMFAccessID FROM vw_DTMFAccessID WHERE ParentObjectID=? AND IsPrimaryID=1"),
            {objectId}, serviceState().voiceServerConnection, adOpenKeyset, adLockReadOnly);
    return rs.RecordCount() > 0;
}

void finishFor(ErrorTrap& trap, const QString& objectId, const QString& room, const QString& alias) {
    if (objectId.isEmpty() || hasPrimaryExtension(objectId)) return;
    ReportError(QStringLiteral("A room swap was interrupted: the subscriber with ObjectID=%1 gets room %2 as it was to.")
                    .arg(objectId, room));
    SubscriberModification given = giveExtension(trap, objectId, room);
    if (!given.hasRow()) {
        ReportError(QStringLiteral("The interrupted room swap could not give room %1 to the subscriber with ObjectID=%2: %3")
                        .arg(room, objectId, given.error));
        return;
    }
    renameTo(trap, given.row, alias);
    given.row.Close();
    const QString ticket = strGenerateGUID();
    SubscriberModification sync = requestDirectorySync(trap, objectId, ticket, adLockReadOnly);
    if (sync.hasRow()) bWaitForDirectorySync(ticket);
}

}  // namespace

void NoteSwapInProgress(const SwapIntent& intent) {
    ErrorTrap trap("NoteSwapInProgress", "Module", "modPMSFunctions");
    trap.step([&] {
        platform::RegistryStore& store = platform::machineRegistry();
        store.createKey(kKey);
        SwapIntent copy = intent;
        for (int i = 0; i < 6; ++i)
            store.setValue(kKey, QLatin1String(kNames[i]), platform::RegValue::sz(*fieldsOf(copy, i)));
    });
}

void ForgetSwapInProgress() {
    ErrorTrap trap("ForgetSwapInProgress", "Module", "modPMSFunctions");
    trap.step([] { platform::machineRegistry().deleteKey(kKey); });
}

void FinishInterruptedRoomSwap() {
    ErrorTrap trap("FinishInterruptedRoomSwap", "Module", "modPMSFunctions");
    SwapIntent intent;
    bool noted = false;
    trap.step([&] {
        platform::RegistryStore& store = platform::machineRegistry();
        if (!store.keyExists(kKey)) return;
        noted = true;
        for (int i = 0; i < 6; ++i) {
            const auto value = store.value(kKey, QLatin1String(kNames[i]));
            *fieldsOf(intent, i) = value ? value->text : QString();
        }
    });
    if (!noted) return;
    trap.step([&] { finishFor(trap, intent.subscriber1, intent.room1, intent.alias1); });
    trap.step([&] { finishFor(trap, intent.subscriber2, intent.room2, intent.alias2); });
    ForgetSwapInProgress();
}

}  // namespace modPMSFunctions
