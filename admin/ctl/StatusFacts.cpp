#include "admin/ctl/StatusFacts.h"

#include <QFileInfo>

#include "admin/core/ServiceControl.h"
#include "admin/core/guests/VoiceServerChoice.h"
#include "admin/core/settings/PmsServerTest.h"
#include "admin/ctl/LastSweep.h"
#include "common/VoiceServerConnection.h"
#include "common/VoxarenVersion.h"
#include "common/modServices.h"
#include "platform/scm/servicestatus.h"

namespace ctl {

using namespace platform::scm;

namespace {

QString stateName(int state) {
    switch (state) {
        case SERVICE_STOPPED: return QStringLiteral("stopped");
        case SERVICE_START_PENDING: return QStringLiteral("start pending");
        case SERVICE_STOP_PENDING: return QStringLiteral("stop pending");
        case SERVICE_RUNNING: return QStringLiteral("running");
        case SERVICE_CONTINUE_PENDING: return QStringLiteral("continue pending");
        case SERVICE_PAUSE_PENDING: return QStringLiteral("pause pending");
        case SERVICE_PAUSED: return QStringLiteral("paused");
        default: return QStringLiteral("unknown");
    }
}

}  // namespace

QString settingText(Setting id) {
    try {
        return readSetting(id, SettingsReader::Administration).toString();
    } catch (const std::exception&) {
        return QString();
    }
}

QJsonObject serviceStatus() {
    QJsonObject service{{QStringLiteral("name"), QLatin1String(kStavioServiceName)}};
    const QString stateFile = modServices::hostedServiceStateFile(QLatin1String(kStavioServiceName));
    service.insert(QStringLiteral("installed"), !stateFile.isEmpty());
    const std::optional<ServiceStatus> status = stateFile.isEmpty() ? std::nullopt : readStatusFile(stateFile);
    // No state file: the host has not run since the machine started.
    const int state = status ? currentState(*status) : (stateFile.isEmpty() ? 0 : int(SERVICE_STOPPED));
    service.insert(QStringLiteral("state"), stateFile.isEmpty() ? QStringLiteral("not installed") : stateName(state));
    service.insert(QStringLiteral("stateCode"), state);
    // The process id only of a host that still runs.
    service.insert(QStringLiteral("pid"), status && state != SERVICE_STOPPED ? QJsonValue(status->processId) : QJsonValue());
    service.insert(QStringLiteral("exitCode"), status ? QJsonValue(status->exitCode) : QJsonValue());
    return service;
}

QJsonObject logStatus(const QString& logFile) {
    return {{QStringLiteral("currentFile"), logFile},
            {QStringLiteral("exists"), !logFile.isEmpty() && QFileInfo(logFile).isFile()}};
}

QJsonValue sweepStatus(const QString& logFile) {
    if (logFile.isEmpty()) return QJsonValue();
    std::optional<LastSweep> sweep;
    try {
        sweep = readLastSweep(logFile);
    } catch (const std::exception&) {
        return QJsonValue();
    }
    if (!sweep) return QJsonValue();
    return QJsonObject{{QStringLiteral("start"), sweep->start},
                       {QStringLiteral("end"), sweep->end.isEmpty() ? QJsonValue() : QJsonValue(sweep->end)},
                       {QStringLiteral("finished"), !sweep->end.isEmpty()},
                       {QStringLiteral("checkIns"), sweep->checkIns},
                       {QStringLiteral("checkOuts"), sweep->checkOuts},
                       {QStringLiteral("moves"), sweep->moves},
                       {QStringLiteral("swaps"), sweep->swaps},
                       {QStringLiteral("errors"), sweep->errors}};
}

QJsonObject pmsStatus() {
    const QString server = settingText(Setting::PrecipiaServerName).trimmed();
    const QString problem = server.isEmpty() ? QStringLiteral("no server set") : pmsServerProblem(server);
    return {{QStringLiteral("server"), server},
            {QStringLiteral("reachable"), problem.isEmpty()},
            {QStringLiteral("problem"), problem.isEmpty() ? QJsonValue() : QJsonValue(problem)}};
}

QJsonObject voiceServerStatus() {
    // Without a server on this machine, the guest view's stored remote server.
    ReadVoxarenVersion();
    const bool remote = serverVersion().Major == 0;
    const QString connection = remote ? settingText(Setting::RemoteConnectionString) : kLocalVoiceServerConnection;
    const QString problem = voiceServerProblem(connection);
    return {{QStringLiteral("version"), serverVersion().Text},
            {QStringLiteral("remote"), remote},
            {QStringLiteral("connection"), connection},
            {QStringLiteral("reachable"), problem.isEmpty()},
            {QStringLiteral("problem"), problem.isEmpty() ? QJsonValue() : QJsonValue(problem)}};
}

}  // namespace ctl
