#pragma once
// The service's small accesses to the PMS room table that the guest actions
// and sweeps share, on the PMS connection of the service's state (see
// PmsRoomTable). None lets an error escape.
#include <QSet>
#include <QString>

#include "common/PmsRoomTable.h"

struct ServiceState;

namespace modPMSFunctions {

// Marks the row as it was read (`room`, with its primary extension) as
// handled (its change flag 0), only while the row still holds what it held
// then. A row the gateway has changed since keeps its flag, so the next sweep
// handles the change. Either way the room is added to `handled`, the rooms
// the sweep has dealt with. False when the row could not be written
// (unreachable, missing, duplicated).
bool ClearPMSDBUpdatedByPTCEFlag(const ServiceState& state, const PmsRoom& room,
                                 QSet<QString>& handled);

// Writes the row's lamp state and raises its change counter (after
// 2147483647 comes 0).
void SetPMSDBUpdatedByVMSFlag(const ServiceState& state, const QString& extension,
                              short unreadCount);

// Clears the change flag of the two rows naming the target rooms as their
// partner, searching the caller's room snapshot (whose cursor it moves);
// each only while it holds what the snapshot holds, adding them to `handled`.
// True only when both rows were found and cleared.
bool bClearPMSRecordsForMovedRooms(const ServiceState& state, const QString& targetRoom1,
                                   const QString& targetRoom2, platform::db::Recordset& rooms,
                                   QSet<QString>& handled);

// The primary extension of the row for the room number, or "".
QString strGetPrimaryExtensionFromRoomNumber(const ServiceState& state, const QString& roomNumber);

}  // namespace modPMSFunctions
