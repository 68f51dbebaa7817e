#include "service/ServerAccess.h"

#include "common/VoiceServerObjects.h"
#include "common/modServices.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/ServerObjects.h"

void connectVoiceServer() {
    voxaren::installServerAccess();
    modServices::setServiceStateSource(QStringLiteral("MSSQLSERVER"), voxaren::databaseServiceState);
    setServerObjects(voxaren::serverObjects());
}
