#include "common/modPMSFunctions.h"

#include <limits>

#include "common/ErrorTrap.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// The common frame of the two flag writers: find the one row of the
// extension, change it, and report a missing, duplicated or unreachable row.
struct FlagWrite {
    const char* procedure;      // for the error trap and the open failure
    const char* routine;        // as the row-count errors spell it
    const char* columns;        // selected besides Extension1
    QString startText;
    QString endText;
};

// Returns whether the row was changed: false when it could not be read, was
// missing or duplicated, or the change failed.
bool writeFlag(const FlagWrite& w, const QString& extension, const std::function<void(Recordset&)>& change) {
    ErrorTrap trap(w.procedure, "Module", "modPMSFunctions");
    modLogging::DebugLog(modLogging::EVENT_SYNC_DEBUG, w.startText + extension);
    Recordset rs;
    rs.CursorLocation = adUseClient;
    trap.step([&] {
        rs.Open(QStringLiteral("SELECT Extension1, %1 from vmstable WHERE Extension1=?").arg(QLatin1String(w.columns)),
                {extension}, serviceState().pmsConnection, adOpenKeyset, adLockPessimistic);
    });
    if (rs.State() != adStateOpen) {
        ReportError(QStringLiteral("Attempt to open remote PMS database failed during %1 function.")
                  .arg(QLatin1String(w.procedure)));
        return false;
    }
    bool changed = false;
    trap.step([&] {
        const long count = rs.RecordCount();
        if (count == 0)
            ReportError(QStringLiteral("(error) no recordset returned in %1 routine for extension=").arg(QLatin1String(w.routine)) +
                  extension);
        else if (count > 1)
            ReportError(QStringLiteral("(error) more than one recordset returned in %1 routine for extension=")
                      .arg(QLatin1String(w.routine)) +
                  extension);
        else {
            change(rs);
            changed = true;
        }
    });
    modLogging::DebugLog(modLogging::EVENT_SYNC_DEBUG, w.endText + extension);
    rs.Close();
    return changed;
}

// ClearPMSDBUpdatedByPTCEFlag, telling whether the row was cleared.
bool clearUpdatedByPTCEFlag(const QString& extension) {
    static const FlagWrite frame{"ClearPMSDBUpdatedByPTCEFlag", "ClearPMSDBUpdatedbyPTCEFlag", "upd_by_ptce",
                                 QStringLiteral("Clearing UpdatedByPTCE flag for extension="),
                                 QStringLiteral("UpdatedByPTCE flag cleared for extension=")};
    const bool cleared = writeFlag(frame, extension, [](Recordset& rs) {
        rs.SetValue(QStringLiteral("upd_by_ptce"), 0);
        rs.Update();
    });
    if (cleared) serviceState().flagsClearedThisSweep.insert(extension);
    return cleared;
}

// The change counter after `current`. The column holds a 32-bit number: after
// its largest value comes 0, so the gateway still sees a change.
int nextChangeCount(const QVariant& current) {
    const qlonglong value = current.toLongLong();
    if (value >= std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return 0;
    return int(value) + 1;
}

}  // namespace

void ClearPMSDBUpdatedByPTCEFlag(const QString& extension) { clearUpdatedByPTCEFlag(extension); }

void SetPMSDBUpdatedByVMSFlag(const QString& extension, short unreadCount) {
    static const FlagWrite frame{"SetPMSDBUpdatedByVMSFlag", "SetPMSDBUpdatedbyVMSFlag", "upd_by_vms, UnreadMsgCount",
                                 QStringLiteral("Setting UpdatedByVMS flag for extension="),
                                 QStringLiteral("UpdatedByVMS flag set for extension=")};
    writeFlag(frame, extension, [unreadCount](Recordset& rs) {
        rs.SetValue(QStringLiteral("UnreadMsgCount"), unreadCount);
        rs.SetValue(QStringLiteral("upd_by_vms"), nextChangeCount(rs.Value(QStringLiteral("upd_by_vms"))));
        rs.Update();
    });
}

bool bClearPMSRecordsForMovedRooms(const QString& targetRoom1, const QString& targetRoom2, Recordset& rooms) {
    ErrorTrap trap("bClearPMSRecordsForMovedRooms", "Module", "modPMSFunctions");
    modLogging::DebugLog(modLogging::EVENT_ROOM_MOVE_DEBUG, QStringLiteral("Attempting to clear remote PMS records for target room=") +
                                                     targetRoom1 + QStringLiteral(" and target room=") + targetRoom2);
    bool enoughRows = false;
    trap.step([&] { enoughRows = rooms.RecordCount() >= 2; });
    if (!enoughRows) return false;

    // Extension1 of the row naming `room` as its other room; false when the
    // search failed or found none, so that no other row is cleared instead.
    const auto findPartner = [&](const QString& room, const char* which, QString& extension) {
        bool found = false;
        const bool searched = trap.step([&] {
            rooms.MoveFirst();
            found = rooms.FindEqual(QStringLiteral("otherroomno"), room);
            if (found) extension = rooms.Text(QStringLiteral("Extension1"));
        });
        if (searched && !found)
            ReportError(QStringLiteral("(error): filter for %1 room to clear=").arg(QLatin1String(which)) + room +
                  QStringLiteral(" returned 0 records when filtering for otherroomcolumn"));
        return searched && found;
    };

    QString extension;
    if (!findPartner(targetRoom1, "primary", extension)) return false;
    bool cleared = clearUpdatedByPTCEFlag(extension);
    if (!findPartner(targetRoom2, "secondary", extension)) return false;  // the first row stays cleared
    cleared = clearUpdatedByPTCEFlag(extension) && cleared;
    if (cleared)
        modLogging::DebugLog(modLogging::EVENT_ROOM_MOVE_DEBUG, QStringLiteral("Records for target room=") + targetRoom1 +
                                                         QStringLiteral(" and target room=") + targetRoom2 +
                                                         QStringLiteral(" cleared in remote PMS database."));
    trap.step([&] {
        if (rooms.RecordCount() >= 1) rooms.MoveFirst();
    });
    return cleared;
}

QString strGetPrimaryExtensionFromRoomNumber(const QString& roomNumber) {
    ErrorTrap trap("strGetPrimaryExtensionFromRoomNumber", "Module", "modPMSFunctions");
    QString result;
    Recordset rs;
    rs.CursorLocation = adUseClient;
    trap.step([&] {
        rs.Open(QStringLiteral("SELECT Extension1 from vmstable WHERE roomno=?"), {roomNumber}, serviceState().pmsConnection,
                adOpenKeyset, adLockReadOnly);
    });
    if (rs.State() != adStateOpen) {
        ReportError(QStringLiteral("Attempt to open remote PMS database failed during strGetPrimaryExtensionFromRoomNumber function."));
        return result;
    }
    trap.step([&] {
        if (rs.RecordCount() > 0) result = rs.Text(QStringLiteral("Extension1"));
    });
    rs.Close();
    return result;
}

}  // namespace modPMSFunctions
