#include "common/PmsRoomTable.h"

#include <array>
#include <limits>

#include "common/ErrorTrap.h"
#include "common/modLogging.h"
#include "platform/db/connection.h"

using namespace platform::db;

const QString& PmsRoomTable::name(PmsColumn column) {
    static const std::array<QString, size_t(PmsColumn::UnreadCount) + 1> names{
        QStringLiteral("roomno"),     QStringLiteral("otherroomno"), QStringLiteral("Extension1"),
        QStringLiteral("Extension2"), QStringLiteral("Extension3"),  QStringLiteral("Extension4"),
        QStringLiteral("Extension5"), QStringLiteral("firstname"),   QStringLiteral("lastname"),
        QStringLiteral("Language"),   QStringLiteral("Password"),    QStringLiteral("OccStatus"),
        QStringLiteral("upd_by_ptce"), QStringLiteral("upd_by_vms"), QStringLiteral("UnreadMsgCount")};
    return names[size_t(column)];
}

const QString& PmsRoomTable::criteria(Rows rows) {
    static const std::array<QString, 4> texts{
        QStringLiteral("otherroomno>'0' and upd_by_ptce>0"), QStringLiteral("OccStatus='1'"),
        QStringLiteral("OccStatus<>'1'"), QStringLiteral("upd_by_ptce<>0 and OccStatus='1'")};
    return texts[size_t(rows)];
}

const QString& PmsRoomTable::auditQuery() {
    static const QString sql = QStringLiteral(
        "SELECT Extension1, Extension2, Extension3, Extension4, Extension5, firstname, lastname, "
        "Language, OccStatus, UnreadMsgCount FROM vmstable");
    return sql;
}

const QString& PmsRoomTable::viewQuery() {
    static const QString sql = QStringLiteral("SELECT * from vmstable ORDER BY extension1");
    return sql;
}

const QString& PmsRoomTable::raiseFlagStatement() {
    static const QString sql = QStringLiteral(
        "UPDATE vmstable SET upd_by_ptce = ?, otherroomno = ? "
        "WHERE Extension1 = ? AND (upd_by_ptce IS NULL OR upd_by_ptce <= 0)");
    return sql;
}

void PmsRoomTable::readAll(Recordset& rooms, CursorTypeEnum cursor, LockTypeEnum lock) const {
    rooms.CursorLocation = adUseClient;
    rooms.Open(QStringLiteral("SELECT * from vmstable"), m_connection, cursor, lock);
}

std::optional<PmsRoom> PmsRoomTable::roomOf(const QString& extension) const {
    try {
        Recordset rows;
        rows.CursorLocation = adUseClient;
        rows.Open(QStringLiteral("SELECT * from vmstable WHERE Extension1=?"), {extension}, m_connection, adOpenStatic,
                  adLockReadOnly);
        if (rows.RecordCount() != 1) return std::nullopt;
        return PmsRoom::fromCurrentRow(rows);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The common frame of the two flag writers: find the one row of the
// extension, change it, and report a missing, duplicated or unreachable row.
struct PmsRoomTable::FlagWrite {
    const char* procedure;  // for the error trap and the open failure
    const char* routine;    // as the row-count errors spell it
    QString startText;
    QString endText;
};

enum class PmsRoomTable::FlagOutcome {
    NotWritten,  // the row could not be read, was missing or duplicated, or the change failed
    Written,
    RowChanged,  // the gateway has changed the row since it was read: left as it is
};

// `columns` are those selected besides the primary extension; `change` changes the row.
PmsRoomTable::FlagOutcome PmsRoomTable::writeFlag(const FlagWrite& w, const QString& extension, const QString& columns,
                                                  const std::function<FlagOutcome(Recordset&)>& change) const {
    ErrorTrap trap(w.procedure, "Module", "modPMSFunctions");
    modLogging::DebugLog(modLogging::EVENT_SYNC_DEBUG, w.startText + extension);
    Recordset rs;
    rs.CursorLocation = adUseClient;
    trap.step([&] {
        rs.Open(QStringLiteral("SELECT Extension1, %1 from vmstable WHERE Extension1=?").arg(columns), {extension},
                m_connection, adOpenKeyset, adLockPessimistic);
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

// The update names every column read, so a change the gateway makes between
// the read and the write keeps the flag as well: one read and one write, as
// for any flag.
PmsRoomTable::FlagOutcome PmsRoomTable::clearFlag(const PmsRoom& room) const {
    static const FlagWrite frame{"ClearPMSDBUpdatedByPTCEFlag", "ClearPMSDBUpdatedbyPTCEFlag",
                                 QStringLiteral("Clearing UpdatedByPTCE flag for extension="),
                                 QStringLiteral("UpdatedByPTCE flag cleared for extension=")};
    const QString& flag = name(PmsColumn::ChangeFlag);
    QStringList columns{flag};
    for (const PmsColumn column : room.columns())
        if (column != PmsColumn::ChangeFlag && column != PmsColumn::PrimaryExtension) columns << name(column);
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
    if (outcome != FlagOutcome::NotWritten && m_handled) m_handled->insert(extension);
    return outcome;
}

bool PmsRoomTable::clearChangeFlag(const PmsRoom& room) const { return clearFlag(room) != FlagOutcome::NotWritten; }

namespace {

// The change counter after `current`. The column holds a 32-bit number: after
// its largest value comes 0, so the gateway still sees a change.
int nextChangeCount(const QVariant& current) {
    const qlonglong value = current.toLongLong();
    if (value >= std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return 0;
    return int(value) + 1;
}

}  // namespace

void PmsRoomTable::writeLamp(const QString& extension, short unreadCount) const {
    static const FlagWrite frame{"SetPMSDBUpdatedByVMSFlag", "SetPMSDBUpdatedbyVMSFlag",
                                 QStringLiteral("Setting UpdatedByVMS flag for extension="),
                                 QStringLiteral("UpdatedByVMS flag set for extension=")};
    const QString& counter = name(PmsColumn::ChangeCounter);
    const QString& unread = name(PmsColumn::UnreadCount);
    writeFlag(frame, extension, counter + QStringLiteral(", ") + unread, [&](Recordset& rs) {
        rs.SetValue(unread, unreadCount);
        rs.SetValue(counter, nextChangeCount(rs.Value(counter)));
        rs.Update();
        return FlagOutcome::Written;
    });
}

bool PmsRoomTable::clearMovedRooms(const QString& targetRoom1, const QString& targetRoom2, Recordset& rooms) const {
    ErrorTrap trap("bClearPMSRecordsForMovedRooms", "Module", "modPMSFunctions");
    modLogging::DebugLog(modLogging::EVENT_ROOM_MOVE_DEBUG, QStringLiteral("Attempting to clear remote PMS records for target room=") +
                                                                targetRoom1 + QStringLiteral(" and target room=") + targetRoom2);
    bool enoughRows = false;
    trap.step([&] { enoughRows = rooms.RecordCount() >= 2; });
    if (!enoughRows) return false;

    // The row naming `room` as its partner; false when the search failed or
    // found none, so that no other row is cleared instead.
    const auto findPartner = [&](const QString& room, const char* which, PmsRoom& partner) {
        bool found = false;
        const bool searched = trap.step([&] {
            rooms.MoveFirst();
            found = rooms.FindEqual(name(PmsColumn::PartnerRoom), room);
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
    bool cleared = clearFlag(partner) == FlagOutcome::Written;
    if (!findPartner(targetRoom2, "secondary", partner)) return false;  // the first row stays cleared
    cleared = clearFlag(partner) == FlagOutcome::Written && cleared;
    if (cleared)
        modLogging::DebugLog(modLogging::EVENT_ROOM_MOVE_DEBUG, QStringLiteral("Records for target room=") + targetRoom1 +
                                                                    QStringLiteral(" and target room=") + targetRoom2 +
                                                                    QStringLiteral(" cleared in remote PMS database."));
    trap.step([&] {
        if (rooms.RecordCount() >= 1) rooms.MoveFirst();
    });
    return cleared;
}

std::vector<PmsRoom> PmsRoomTable::movedRoomRows(const QString& targetRoom1, const QString& targetRoom2, Recordset& rooms) {
    std::vector<PmsRoom> rows;
    if (rooms.RecordCount() < 2) return rows;
    for (const QString& room : {targetRoom1, targetRoom2}) {
        rooms.MoveFirst();
        if (rooms.FindEqual(name(PmsColumn::PartnerRoom), room)) rows.push_back(PmsRoom::fromCurrentRow(rooms));
    }
    return rows;
}

QString PmsRoomTable::primaryExtension(const QString& roomNumber) const {
    ErrorTrap trap("strGetPrimaryExtensionFromRoomNumber", "Module", "modPMSFunctions");
    QString result;
    Recordset rs;
    rs.CursorLocation = adUseClient;
    trap.step([&] {
        rs.Open(QStringLiteral("SELECT Extension1 from vmstable WHERE roomno=?"), {roomNumber}, m_connection, adOpenKeyset,
                adLockReadOnly);
    });
    if (rs.State() != adStateOpen) {
        ReportError(QStringLiteral("Attempt to open remote PMS database failed during strGetPrimaryExtensionFromRoomNumber function."));
        return result;
    }
    trap.step([&] {
        if (rs.RecordCount() > 0) result = text(rs, PmsColumn::PrimaryExtension);
    });
    rs.Close();
    return result;
}
