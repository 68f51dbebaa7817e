// The lamp sweep: every occupied room's lamp state copied from the
// voice-messaging server into the PMS table, written only when it changed,
// and a vacant room's lamp put out.
#include "common/ErrorTrap.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/Lamps.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "common/modPMSFunctions.h"
#include "platform/clock.h"
#include "platform/com/stoprequest.h"
#include "platform/db/recordset.h"
#include "platform/scm/supervision.h"
#include "service/Sweeps.h"

using namespace platform::db;
using namespace modLogging;

namespace modPMSFunctions {

namespace {
constexpr int kPerRoomMs = 10;
}

void SweepForMWIUpdatesToPMS(const ServiceState& state) {
    ErrorTrap trap("SweepForMWIUpdatesToPMS", "Module", "modPMSFunctions");
    MyDiagnosticLog(QStringLiteral("Starting sweep of MWI updates from VM to PMS"), EVENT_MWI_SYNC_START, QString(),
                    QString(), true);

    Recordset rooms;
    trap.step([&] { PmsRoomTable(state.pmsConnection).readAll(rooms, adOpenKeyset, adLockReadOnly); });
    if (rooms.State() != adStateOpen) {
        ReportError(QStringLiteral("Attempt to open remote PMS database failed during DB sync attempt.  Aborting sync."));
        return;
    }
    DebugLog(EVENT_MWI_SYNC_DEBUG, QStringLiteral("PMS room record count=") + QString::number(rooms.RecordCount()));

    // The primary lamp of every hotel guest.
    Recordset lamps;
    trap.step([&] {
        lamps.Open(GuestDirectory::sql(GuestDirectory::Query::PrimaryLamps),
                   state.voiceServerConnection, adOpenKeyset, adLockReadOnly);
    });
    if (lamps.State() == adStateOpen && lamps.RecordCount() > 0) {
        trap.step([&] {
            rooms.ClearFilter();
            rooms.SetFilter(PmsRoomTable::criteria(PmsRoomTable::Rows::Occupied));
            rooms.MoveFirst();
        });
        // A stop ends the sweep at the next room; the lamps it did not reach wait for the next start.
        while (!rooms.IsEOF() && !platform::com::stopRequested()) {
            platform::scm::reportProgress();
            QString extension;
            trap.step([&] {
                extension = PmsRoomTable::text(rooms, PmsColumn::PrimaryExtension);
                lamps.MoveFirst();
                if (!lamps.FindEqual(HotelGuest::extensionColumn(), extension.trimmed())) {
                    ReportError(QStringLiteral("Error in SweepForUpdates routine - Search for occupied room in Voxaren's "
                                               "database failed to find a match for room number=") +
                                extension + QStringLiteral(". This is a serious error, please contact Tolvane"));
                    return;  // reported and skipped
                }
                const bool on = GuestDirectory::lampState(lamps).toBool();
                const QVariant unread = PmsRoomTable::value(rooms, PmsColumn::UnreadCount);
                const bool known = !unread.isNull();
                if (on && known && unread.toInt() == 0) {
                    SetPMSDBUpdatedByVMSFlag(state, extension, 1);
                    DebugLog(EVENT_MWI_SYNC_DEBUG, QStringLiteral("Subscriber MWI status set to on for room: ") + extension);
                } else if (!on && known && unread.toInt() == 1) {
                    SetPMSDBUpdatedByVMSFlag(state, extension, 0);
                    DebugLog(EVENT_MWI_SYNC_DEBUG, QStringLiteral("Subscriber MWI status set to off for room: ") + extension);
                }
            });
            platform::clock().sleepMs(kPerRoomMs);
            if (!trap.step([&] { rooms.MoveNext(); })) break;
        }
    }
    // A vacant room's lamp goes out in the PMS: its guest left with a message
    // unheard, and the next guest must not find it lit. Written once: after
    // that the row holds 0.
    trap.step([&] {
        rooms.SetFilter(PmsRoomTable::criteria(PmsRoomTable::Rows::Vacant));
        for (rooms.MoveFirst(); !rooms.IsEOF(); rooms.MoveNext()) {
            const QVariant unread = PmsRoomTable::value(rooms, PmsColumn::UnreadCount);
            const QString extension = PmsRoomTable::text(rooms, PmsColumn::PrimaryExtension);
            if (unread.isNull() || unread.toInt() == 0 || extension.trimmed().isEmpty()) continue;
            SetPMSDBUpdatedByVMSFlag(state, extension, 0);
            DebugLog(EVENT_MWI_SYNC_DEBUG, QStringLiteral("Subscriber MWI status set to off for vacant room: ") + extension);
        }
    });
    rooms.Close();
    lamps.Close();
    MyDiagnosticLog(QStringLiteral("MWI Syncronization sweep complete"), EVENT_MWI_SYNC_FINISHED, QString(), QString(),
                    true);
}

}  // namespace modPMSFunctions
