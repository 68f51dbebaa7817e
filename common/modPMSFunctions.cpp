#include "common/modPMSFunctions.h"

#include "common/ErrorTrap.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

void debugLine(short eventId, const QString& text) {
    if (serviceState().settings.DebugMode) modLogging::MyDiagnosticLog(text, eventId, QString(), QString(), true);
}

void error(const QString& text) {
    modLogging::LogServiceEvent(modLogging::EVENT_ERROR, modLogging::SEVERITY_ERROR, text, true);
}

// The common frame of the two flag writers: find the one row of the
// extension, change it, and report a missing, duplicated or unreachable row.
struct FlagWrite {
    const char* procedure;      // for the error trap and the open failure
    const char* routine;        // as the row-count errors spell it
    const char* columns;        // selected besides Extension1
    QString startText;
    QString endText;
};

void writeFlag(const FlagWrite& w, const QString& extension, const std::function<void(Recordset&)>& change) {
    ErrorTrap trap(w.procedure, "Module", "modPMSFunctions");
    debugLine(modLogging::EVENT_SYNC_DEBUG, w.startText + extension);
    Recordset rs;
    rs.CursorLocation = adUseClient;
    trap.step([&] {
        rs.Open(QStringLiteral("SELECT Extension1, %1 from vmstable WHERE Extension1=?").arg(QLatin1String(w.columns)),
                {extension}, serviceState().pmsConnection, adOpenKeyset, adLockPessimistic);
    });
    if (rs.State() != adStateOpen) {
        error(QStringLiteral("Attempt to open remote PMS database failed during %1 function.")
                  .arg(QLatin1String(w.procedure)));
        return;
    }
    trap.step([&] {
        const long count = rs.RecordCount();
        if (count == 0)
            error(QStringLiteral("(error) no recordset returned in %1 routine for extension=").arg(QLatin1String(w.routine)) +
                  extension);
        else if (count > 1)
            error(QStringLiteral("(error) more than one recordset returned in %1 routine for extension=")
                      .arg(QLatin1String(w.routine)) +
                  extension);
        else
            change(rs);
    });
    debugLine(modLogging::EVENT_SYNC_DEBUG, w.endText + extension);
    rs.Close();
}

}  // namespace

void ClearPMSDBUpdatedByPTCEFlag(const QString& extension) {
    static const FlagWrite frame{"ClearPMSDBUpdatedByPTCEFlag", "ClearPMSDBUpdatedbyPTCEFlag", "upd_by_ptce",
                                 QStringLiteral("Clearing UpdatedByPTCE flag for extension="),
                                 QStringLiteral("UpdatedByPTCE flag cleared for extension=")};
    writeFlag(frame, extension, [](Recordset& rs) {
        rs.SetValue(QStringLiteral("upd_by_ptce"), 0);
        rs.Update();
    });
}

void SetPMSDBUpdatedByVMSFlag(const QString& extension, short unreadCount) {
    static const FlagWrite frame{"SetPMSDBUpdatedByVMSFlag", "SetPMSDBUpdatedbyVMSFlag", "upd_by_vms, UnreadMsgCount",
                                 QStringLiteral("Setting UpdatedByVMS flag for extension="),
                                 QStringLiteral("UpdatedByVMS flag set for extension=")};
    writeFlag(frame, extension, [unreadCount](Recordset& rs) {
        rs.SetValue(QStringLiteral("UnreadMsgCount"), unreadCount);
        rs.SetValue(QStringLiteral("upd_by_vms"), rs.Value(QStringLiteral("upd_by_vms")).toInt() + 1);
        rs.Update();
    });
}

bool bClearPMSRecordsForMovedRooms(const QString& targetRoom1, const QString& targetRoom2, Recordset& rooms) {
    ErrorTrap trap("bClearPMSRecordsForMovedRooms", "Module", "modPMSFunctions");
    debugLine(modLogging::EVENT_ROOM_MOVE_DEBUG, QStringLiteral("Attempting to clear remote PMS records for target room=") +
                                                     targetRoom1 + QStringLiteral(" and target room=") + targetRoom2);
    bool result = false;
    bool done = false;
    trap.step([&] {
        if (rooms.RecordCount() < 2) {
            done = true;
            return;
        }
        rooms.MoveFirst();
        if (!rooms.FindEqual(QStringLiteral("otherroomno"), targetRoom1)) {
            error(QStringLiteral("(error): filter for primary room to clear=") + targetRoom1 +
                  QStringLiteral(" returned 0 records when filtering for otherroomcolumn"));
            done = true;
        }
    });
    if (done) return result;
    trap.step([&] { ClearPMSDBUpdatedByPTCEFlag(rooms.Text(QStringLiteral("Extension1"))); });
    trap.step([&] {
        rooms.MoveFirst();
        if (!rooms.FindEqual(QStringLiteral("otherroomno"), targetRoom2)) {
            error(QStringLiteral("(error): filter for secondary room to clear=") + targetRoom2 +
                  QStringLiteral(" returned 0 records when filtering for otherroomcolumn"));
            done = true;
        }
    });
    if (done) return result;
    trap.step([&] { ClearPMSDBUpdatedByPTCEFlag(rooms.Text(QStringLiteral("Extension1"))); });
    debugLine(modLogging::EVENT_ROOM_MOVE_DEBUG, QStringLiteral("Records for target room=") + targetRoom1 +
                                                     QStringLiteral(" and target room=") + targetRoom2 +
                                                     QStringLiteral(" cleared in remote PMS database."));
    trap.step([&] {
        if (rooms.RecordCount() >= 1) rooms.MoveFirst();
    });
    result = true;
    return result;
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
        error(QStringLiteral("Attempt to open remote PMS database failed during strGetPrimaryExtensionFromRoomNumber function."));
        return result;
    }
    trap.step([&] {
        if (rs.RecordCount() > 0) result = rs.Text(QStringLiteral("Extension1"));
    });
    rs.Close();
    return result;
}

}  // namespace modPMSFunctions
