#include "common/modPMSFunctions.h"

#include "common/ServiceState.h"

namespace modPMSFunctions {

namespace {

PmsRoomTable serviceTable(const ServiceState& state, QSet<QString>* handled = nullptr) {
    return PmsRoomTable(state.pmsConnection, handled);
}

}  // namespace

bool ClearPMSDBUpdatedByPTCEFlag(const ServiceState& state, const PmsRoom& room,
                                 QSet<QString>& handled) {
    return serviceTable(state, &handled).clearChangeFlag(room);
}

void SetPMSDBUpdatedByVMSFlag(const ServiceState& state, const QString& extension,
                              short unreadCount) {
    serviceTable(state).writeLamp(extension, unreadCount);
}

bool bClearPMSRecordsForMovedRooms(const ServiceState& state, const QString& targetRoom1,
                                   const QString& targetRoom2, platform::db::Recordset& rooms,
                                   QSet<QString>& handled) {
    return serviceTable(state, &handled).clearMovedRooms(targetRoom1, targetRoom2, rooms);
}

QString strGetPrimaryExtensionFromRoomNumber(const ServiceState& state, const QString& roomNumber) {
    return serviceTable(state).primaryExtension(roomNumber);
}

}  // namespace modPMSFunctions
