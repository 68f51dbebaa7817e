#include "admin/core/settings/PmsServerTest.h"

#include "common/PMSConnection.h"
#include "platform/db/recordset.h"

using namespace platform::db;

bool pmsServerAnswers(const QString& serverName) {
    Recordset rs;
    rs.CursorLocation = adUseClient;
    try {
        rs.Open(QStringLiteral("SELECT * from vmstable"), PMSConnectionString(serverName), adOpenKeyset, adLockOptimistic);
    } catch (const std::exception&) {
    }
    return rs.State() == adStateOpen;
}
