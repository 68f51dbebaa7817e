#include "admin/core/guests/UncheckoutService.h"

#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "admin/core/ServiceControl.h"
#include "admin/core/localize/LanguageStrings.h"
#include "common/PMSConnection.h"
#include "common/PmsRoomTable.h"
#include "common/modServices.h"
#include "platform/db/recordset.h"
#include "platform/scm/servicestatus.h"

using namespace platform::db;
using modLocalize::myLoadResString;
using Kind = Prompt::Kind;

namespace {

bool serviceRuns() {
    const int state = modServices::getServiceState(QLatin1String(kStavioServiceName));
    return state != 0 && state != int(platform::scm::SERVICE_STOPPED);
}

// The room's PMS row as the service reads it; nullopt when it cannot be read
// or the PMS has no such row.
std::optional<PmsRoom> pmsRow(const QString& room) {
    const QString server = storedPmsServer();
    if (server.isEmpty()) return std::nullopt;
    return PmsRoomTable(PMSConnectionString(server)).roomOf(room);
}

}  // namespace

UncheckoutService::UncheckoutService(const AdminState& admin, const QString& room, Tell tell)
    : m_admin(admin), m_tell(std::move(tell)), m_room(room) {
    if (!serviceRuns()) return;
    const std::optional<PmsRoom> row = pmsRow(room);
    if (!row)
        m_forecast = Forecast::Unknown;
    else
        m_forecast = row->occupied() ? Forecast::RacesTheRestore : Forecast::ChecksOutAgain;
}

UncheckoutService::~UncheckoutService() {
    resume();
}

bool UncheckoutService::agreed(const std::function<bool(const QString&, const QString&)>& confirm) {
    const auto ask = [&](int first, int second) {
        if (confirm(myLoadResString(first) + m_room + myLoadResString(second), QString())) return true;
        m_admin.logStep(
            QStringLiteral("    The Stavio service is running and the user opted not to go on - "
                           "uncheckout aborted"));
        return false;
    };
    switch (m_forecast) {
        case Forecast::NotRunning: return true;
        case Forecast::ChecksOutAgain:
            if (!ask(1180, 1181)) return false;
            m_admin.logStep(
                QStringLiteral("    The PMS shows room ") + m_room +
                QStringLiteral(
                    " vacant: the running service will check the restored guest out again"));
            return true;
        case Forecast::Unknown:
            if (!ask(1183, 1184)) return false;
            m_admin.logStep(
                QStringLiteral("    The PMS row of room ") + m_room +
                QStringLiteral(
                    " could not be read: what the running service will do is not known"));
            return true;
        case Forecast::RacesTheRestore: break;
    }
    if (!ask(1180, 1182)) return false;
    m_admin.logStep(QStringLiteral("    Stopping the Stavio service for the uncheckout"));
    const ServiceCommandOutcome stop = controlService(ServiceCommand::Stop);
    if (stop.status != ServiceCommandOutcome::Status::Done) {
        const QString problem = serviceCommandProblem(ServiceCommand::Stop, stop);
        m_admin.logStep(QStringLiteral("    The Stavio service did not stop (") + problem +
                        QStringLiteral(") - uncheckout aborted"));
        if (m_tell) m_tell(myLoadResString(1054) + QStringLiteral("\n\n") + problem, Kind::Error);
        return false;
    }
    m_stopped = true;
    return true;
}

void UncheckoutService::resume() {
    if (!m_stopped) return;
    m_stopped = false;
    m_admin.logStep(QStringLiteral("    Starting the Stavio service again"));
    const ServiceCommandOutcome start = controlService(ServiceCommand::Start);
    if (start.tookEffect()) return;
    const QString problem = serviceCommandProblem(ServiceCommand::Start, start);
    m_admin.logStep(QStringLiteral("    The Stavio service did not start again (") + problem +
                    QStringLiteral(")"));
    if (m_tell) m_tell(myLoadResString(1185) + QStringLiteral("\n\n") + problem, Kind::Error);
}
