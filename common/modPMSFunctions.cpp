#include "common/modPMSFunctions.h"

#include <limits>

#include "common/ErrorTrap.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "platform/db/connection.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// The common frame of the two flag writers: find the one row of the
// extension, change it, and report a missing, duplicated or unreachable row.
struct FlagWrite {
    const char* procedure;  // for the error trap and the open failure
    const char* routine;    // as the row-count errors spell it
    QString startText;
    QString endText;
};

enum class FlagOutcome {
    NotWritten,  // the row could not be read, was missing or duplicated, or the change failed
    Written,
    RowChanged,  // the gateway has changed the row since it was read: left as it is
};

// `columns` are those selected besides Extension1; `change` changes the row.
FlagOutcome writeFlag(const FlagWrite& w, const QString& extension, const QString& columns,
                      const std::function<FlagOutcome(Recordset&)>& change) {
    ErrorTrap trap(w.procedure, "Module", "modPMSFunctions");
    modLogging::DebugLog(modLogging::EVENT_SYNC_DEBUG, w.startText + extension);
    Recordset rs;
    rs.CursorLocation = adUseClient;
    trap.step([&] {
        rs.Open(QStringLiteral("SELECT Extension1, %1 from vmstable WHERE Extension1=?").arg(columns), {extension},
                serviceState().pmsConnection, adOpenKeyset, adLockPessimistic);
    });
    if (rs.State() != adStateOpen) {
        ReportError(QStringLiteral("Attempt to open remote PMS database failed during %1 function.")
                  .arg(QLatin1String(w.procedure)));
        return FlagOutcome::NotWritten;
    }
    FlagOutcome outcome = FlagOutcome::NotWritten;
    trap.step([&] {
        const long count = rs.RecordCount();
        if (count == 0)
            ReportError(QStringLiteral("(error) no recordset returned in %1 routine for extension=").arg(QLatin1String(w.routine)) +
                  extension);
        else if (count > 1)
            ReportError(QStringLiteral("(error) more than one recordset returned in %1 routine for extension=")
                      .arg(QLatin1String(w.routine)) +
                  extension);
        else
            outcome = change(rs);
    });
    modLogging::DebugLog(modLogging::EVENT_SYNC_DEBUG, w.endText + extension);
    rs.Close();
    return outcome;
}

// Clears the flag of the row only while it holds what `room` holds. The
// update names every column read, so a change the gateway makes between the
// read and the write keeps the flag as well: one read and one write, as for
// any flag.
FlagOutcome clearUpdatedByPTCEFlag(const PmsRoom& room) {
    static const FlagWrite frame{"ClearPMSDBUpdatedByPTCEFlag", "ClearPMSDBUpdatedbyPTCEFlag",
                                 QStringLiteral("Clearing UpdatedByPTCE flag for extension="),
                                 QStringLiteral("UpdatedByPTCE flag cleared for extension=")};
    const QString flag = QStringLiteral("upd_by_ptce");
    QStringList columns{flag};
    for (const QString& column : room.columns())
        if (column != flag && column != QLatin1String("Extension1")) columns << column;
    const QString extension = room.extension();
    const FlagOutcome outcome = writeFlag(frame, extension, columns.join(QStringLiteral(", ")), [&](Recordset& rs) {
        bool changed = !room.sameAs(rs);
        if (!changed) {
            rs.SetValue(flag, 0);
            try {
                rs.Update();
            } catch (const platform::Error& e) {
                if (e.number() != errors::RowNotFound) throw;
                rs.CancelUpdate();
                changed = true;
            }
        }
        if (!changed) return FlagOutcome::Written;
        modLogging::DebugLog(modLogging::EVENT_SYNC_DEBUG,
                             QStringLiteral("UpdatedByPTCE flag left set for extension=") + extension +
                                 QStringLiteral(": the PMS changed the room since it was read"));
        return FlagOutcome::RowChanged;
    });
    // Handled either way: a changed row waits for the next sweep, which reads it anew.
    if (outcome != FlagOutcome::NotWritten) serviceState().flagsClearedThisSweep.insert(extension);
    return outcome;
}

// The change counter after `current`. The column holds a 32-bit number: after
// its largest value comes 0, so the gateway still sees a change.
int nextChangeCount(const QVariant& current) {
    const qlonglong value = current.toLongLong();
    if (value >= std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return 0;
    return int(value) + 1;
}

}  // namespace

void ClearPMSDBUpdatedByPTCEFlag(const QString& extension) { clearUpdatedByPTCEFlag(PmsRoom::withExtension(extension)); }

bool ClearPMSDBUpdatedByPTCEFlag(const PmsRoom& room) { return clearUpdatedByPTCEFlag(room) != FlagOutcome::NotWritten; }

void SetPMSDBUpdatedByVMSFlag(const QString& extension, short unreadCount) {
    static const FlagWrite frame{"SetPMSDBUpdatedByVMSFlag", "SetPMSDBUpdatedbyVMSFlag",
                                 QStringLiteral("Setting UpdatedByVMS flag for extension="),
                                 QStringLiteral("UpdatedByVMS flag set for extension=")};
    writeFlag(frame, extension, QStringLiteral("upd_by_vms, UnreadMsgCount"), [unreadCount](Recordset& rs) {
        rs.SetValue(QStringLiteral("UnreadMsgCount"), unreadCount);
        rs.SetValue(QStringLiteral("upd_by_vms"), nextChangeCount(rs.Value(QStringLiteral("upd_by_vms"))));
        rs.Update();
        return FlagOutcome::Written;
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
    const auto findPartner = [&](const QString& room, const char* which, PmsRoom& partner) {
        bool found = false;
        const bool searched = trap.step([&] {
            rooms.MoveFirst();
            found = rooms.FindEqual(QStringLiteral("otherroomno"), room);
            if (found) partner = PmsRoom::fromCurrentRow(rooms);
        });
        if (searched && !found)
            ReportError(QStringLiteral("(error): filter for %1 room to clear=").arg(QLatin1String(which)) + room +
                  QStringLiteral(" returned 0 records when filtering for otherroomcolumn"));
        return searched && found;
    };

    // Each row as the snapshot holds it: one the gateway changed since keeps its flag.
    PmsRoom partner;
    if (!findPartner(targetRoom1, "primary", partner)) return false;
    bool cleared = clearUpdatedByPTCEFlag(partner) == FlagOutcome::Written;
    if (!findPartner(targetRoom2, "secondary", partner)) return false;  // the first row stays cleared
    cleared = clearUpdatedByPTCEFlag(partner) == FlagOutcome::Written && cleared;
    if (cleared)
        modLogging::DebugLog(modLogging::EVENT_ROOM_MOVE_DEBUG, QStringLiteral("Records for target room=") + targetRoom1 +
                                                         QStringLiteral(" and target room=") + targetRoom2 +
                                                         QStringLiteral(" cleared in remote PMS database."));
    trap.step([&] {
        if (rooms.RecordCount() >= 1) rooms.MoveFirst();
    });
    return cleared;
}

std::vector<PmsRoom> movedRoomRows(const QString& targetRoom1, const QString& targetRoom2, Recordset& rooms) {
    std::vector<PmsRoom> rows;
    if (rooms.RecordCount() < 2) return rows;
    for (const QString& room : {targetRoom1, targetRoom2}) {
        rooms.MoveFirst();
        if (rooms.FindEqual(QStringLiteral("otherroomno"), room)) rows.push_back(PmsRoom::fromCurrentRow(rooms));
    }
    return rows;
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
