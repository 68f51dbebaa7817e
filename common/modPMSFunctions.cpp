#include "common/modPMSFunctions.h"

#include "common/ServiceState.h"

namespace modPMSFunctions {

namespace {

PmsRoomTable serviceTable(QSet<QString>* handled = nullptr) {
    return PmsRoomTable(serviceState().pmsConnection, handled);
}

}  // namespace

bool ClearPMSDBUpdatedByPTCEFlag(const PmsRoom& room, QSet<QString>& handled) {
    return serviceTable(&handled).clearChangeFlag(room);
}

void SetPMSDBUpdatedByVMSFlag(const QString& extension, short unreadCount) {
    serviceTable().writeLamp(extension, unreadCount);
}

bool bClearPMSRecordsForMovedRooms(const QString& targetRoom1, const QString& targetRoom2,
                                   platform::db::Recordset& rooms, QSet<QString>& handled) {
    return serviceTable(&handled).clearMovedRooms(targetRoom1, targetRoom2, rooms);
}

QString strGetPrimaryExtensionFromRoomNumber(const QString& roomNumber) {
    return serviceTable().primaryExtension(roomNumber);
}

}  // namespace modPMSFunctions
