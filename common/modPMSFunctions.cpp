#include "common/modPMSFunctions.h"

#include "common/ServiceState.h"

namespace modPMSFunctions {

namespace {

// The service's PMS table; the flags it writes count as handled for the sweep.
PmsRoomTable serviceTable() {
    ServiceState& state = serviceState();
    return PmsRoomTable(state.pmsConnection, &state.flagsClearedThisSweep);
}

}  // namespace

void ClearPMSDBUpdatedByPTCEFlag(const QString& extension) {
    serviceTable().clearChangeFlag(PmsRoom::withExtension(extension));
}

bool ClearPMSDBUpdatedByPTCEFlag(const PmsRoom& room) { return serviceTable().clearChangeFlag(room); }

void SetPMSDBUpdatedByVMSFlag(const QString& extension, short unreadCount) {
    serviceTable().writeLamp(extension, unreadCount);
}

bool bClearPMSRecordsForMovedRooms(const QString& targetRoom1, const QString& targetRoom2, platform::db::Recordset& rooms) {
    return serviceTable().clearMovedRooms(targetRoom1, targetRoom2, rooms);
}

QString strGetPrimaryExtensionFromRoomNumber(const QString& roomNumber) {
    return serviceTable().primaryExtension(roomNumber);
}

}  // namespace modPMSFunctions
