#pragma once
// The PMS room table (`vmstable`): the small accesses the guest actions and
// sweeps share. Each opens its own recordset on the PMS connection string of
// the process state and never lets an error escape.
#include <QString>
#include <vector>

#include "common/PmsRoom.h"
#include "platform/db/recordset.h"

namespace modPMSFunctions {

// Marks the row whose Extension1 is `extension` as handled (upd_by_ptce = 0).
void ClearPMSDBUpdatedByPTCEFlag(const QString& extension);
// The same for a row as it was read (`room`, with its Extension1): only while
// the row still holds what it held then. A row the gateway has changed since
// keeps its flag, so the next sweep handles the change. Either way the room
// counts as handled for the rest of the sweep. False when the row could not be
// written (unreachable, missing, duplicated).
bool ClearPMSDBUpdatedByPTCEFlag(const PmsRoom& room);

// Writes the row's lamp state (UnreadMsgCount) and raises its upd_by_vms
// counter (after 2147483647 comes 0).
void SetPMSDBUpdatedByVMSFlag(const QString& extension, short unreadCount);

// Clears the change flag of the two rows naming the target rooms as their
// other room, searching the caller's room snapshot (whose cursor it moves);
// each only while it holds what the snapshot holds. True only when both rows
// were found and cleared.
bool bClearPMSRecordsForMovedRooms(const QString& targetRoom1, const QString& targetRoom2,
                                   platform::db::Recordset& rooms);

// The rows bClearPMSRecordsForMovedRooms clears, as the snapshot holds them
// (those it finds); it moves the snapshot's cursor.
std::vector<PmsRoom> movedRoomRows(const QString& targetRoom1, const QString& targetRoom2,
                                   platform::db::Recordset& rooms);

// Extension1 of the row for the room number, or "".
QString strGetPrimaryExtensionFromRoomNumber(const QString& roomNumber);

}  // namespace modPMSFunctions
