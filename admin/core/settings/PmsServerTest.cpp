#include "admin/core/settings/PmsServerTest.h"

#include "common/PMSConnection.h"
#include "common/PmsRoomTable.h"
#include "platform/db/recordset.h"

using namespace platform::db;

QString pmsServerProblem(const QString& serverName) {
    Recordset rs;
    try {
        PmsRoomTable(PMSConnectionString(serverName)).readAll(rs, adOpenKeyset, adLockOptimistic);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return rs.State() == adStateOpen ? QString() : QStringLiteral("the room table did not open");
}

bool pmsServerAnswers(const QString& serverName) { return pmsServerProblem(serverName).isEmpty(); }
