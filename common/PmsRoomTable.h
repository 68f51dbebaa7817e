#pragma once
// The PMS room table `vmstable`, the one place that names its columns and
// holds its SQL: the whole-table read the sweeps walk and the selections of
// its rows, the row writes (the change flag, the lamp), the look-ups, and the
// queries of the audit and the administration.
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

#include "common/PmsRoom.h"
#include "platform/db/recordset.h"

class PmsRoomTable {
public:
    // The column's name in the table.
    static const QString& name(PmsColumn column);
    // The column of the recordset's current row, as text ("" for NULL) or as it is.
    static QString text(const platform::db::Recordset& rows, PmsColumn column) { return rows.Text(name(column)); }
    static QVariant value(const platform::db::Recordset& rows, PmsColumn column) { return rows.Value(name(column)); }

    // The rows the sweeps visit, as recordset criteria.
    enum class Rows {
        MovesAndSwaps,    // naming a partner room, flagged
        Occupied,
        Vacant,
        ChangedOccupied,  // flagged (either way), occupied
    };
    static const QString& criteria(Rows rows);

    // The queries of the audit (the columns it compares), of the
    // administration's view of the whole table (by primary extension), and
    // the audit's raising of a room's flag: bound to the flag, the partner
    // room and the primary extension; only a row whose flag is down changes.
    static const QString& auditQuery();
    static const QString& viewQuery();
    static const QString& raiseFlagStatement();

    // `handled` (when given) collects the rooms whose change flag the table
    // has written, or found changed by the gateway since it was read: either
    // way the sweep that read them is done with them.
    explicit PmsRoomTable(QString connection, QSet<QString>* handled = nullptr)
        : m_connection(std::move(connection)), m_handled(handled) {}

    // Every row, read into `rooms` (a client-side recordset).
    void readAll(platform::db::Recordset& rooms, platform::db::CursorTypeEnum cursor,
                 platform::db::LockTypeEnum lock) const;
    // The one row whose primary extension is `extension`; none when there is
    // no such row, more than one, or the table cannot be read.
    std::optional<PmsRoom> roomOf(const QString& extension) const;

    // Clears the change flag of a row as it was read (by its primary
    // extension) only while the row still holds what it held then. False
    // when the row could not be written (unreachable, missing, duplicated).
    bool clearChangeFlag(const PmsRoom& room) const;
    // Writes a row's lamp state and raises its change counter (after
    // 2147483647 comes 0).
    void writeLamp(const QString& extension, short unreadCount) const;
    // Clears the change flag of the two rows naming the target rooms as their
    // partner, found in `rooms` (whose cursor it moves); true only when both
    // were found and cleared.
    bool clearMovedRooms(const QString& targetRoom1, const QString& targetRoom2, platform::db::Recordset& rooms) const;
    // The rows clearMovedRooms clears, as `rooms` holds them (those it finds).
    static std::vector<PmsRoom> movedRoomRows(const QString& targetRoom1, const QString& targetRoom2,
                                              platform::db::Recordset& rooms);
    // The primary extension of the room number's row, or "".
    QString primaryExtension(const QString& roomNumber) const;

private:
    enum class FlagOutcome;
    struct FlagWrite;
    FlagOutcome writeFlag(const FlagWrite& write, const QString& extension, const QString& columns,
                          const std::function<FlagOutcome(platform::db::Recordset&)>& change) const;
    FlagOutcome clearFlag(const PmsRoom& room) const;

    QString m_connection;
    QSet<QString>* m_handled;
};
