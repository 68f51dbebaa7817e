// stavioctl status: the service, its log, its last sweep and the servers it needs.
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "admin/core/ServiceControl.h"
#include "admin/core/StoreAccess.h"
#include "admin/core/guests/VoiceServerChoice.h"
#include "admin/core/settings/PmsServerTest.h"
#include "admin/ctl/CtlCommand.h"
#include "admin/ctl/LastSweep.h"
#include "common/SettingsTable.h"
#include "common/VoiceServerConnection.h"
#include "common/VoxarenVersion.h"
#include "common/modServices.h"
#include "platform/scm/servicestatus.h"

namespace ctl {

namespace {

using namespace platform::scm;

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
    return {{QStringLiteral("server"), server},
            {QStringLiteral("reachable"), !server.isEmpty() && pmsServerAnswers(server)}};
}

QJsonObject voiceServerStatus() {
    // Without a server on this machine, the guest view's stored remote server.
    ReadVoxarenVersion();
    const bool remote = serverVersion().Major == 0;
    const QString connection = remote ? settingText(Setting::RemoteConnectionString) : kLocalVoiceServerConnection;
    return {{QStringLiteral("version"), serverVersion().Text},
            {QStringLiteral("remote"), remote},
            {QStringLiteral("connection"), connection},
            {QStringLiteral("reachable"), voiceServerAnswers(connection)}};
}

QString yesNo(const QJsonValue& v) { return v.toBool() ? QStringLiteral("reachable") : QStringLiteral("not reachable"); }

QString text(const QJsonObject& status) {
    const QJsonObject service = status[QStringLiteral("service")].toObject();
    QString t = QStringLiteral("Service:       %1 %2").arg(service[QStringLiteral("name")].toString(), service[QStringLiteral("state")].toString());
    if (!service[QStringLiteral("pid")].isNull())
        t += QStringLiteral(" (pid %1)").arg(qint64(service[QStringLiteral("pid")].toDouble()));
    const QJsonObject log = status[QStringLiteral("log")].toObject();
    const QString file = log[QStringLiteral("currentFile")].toString();
    t += QStringLiteral("\nLog file:      %1%2")
             .arg(file.isEmpty() ? QStringLiteral("(none yet)") : file,
                  file.isEmpty() || log[QStringLiteral("exists")].toBool() ? QString() : QStringLiteral(" (missing)"));
    const QJsonValue sweep = status[QStringLiteral("lastSweep")];
    if (sweep.isNull()) {
        t += QStringLiteral("\nLast sweep:    (none in the log)");
    } else {
        const QJsonObject s = sweep.toObject();
        t += QStringLiteral("\nLast sweep:    %1 to %2").arg(s[QStringLiteral("start")].toString(),
                                                              s[QStringLiteral("finished")].toBool() ? s[QStringLiteral("end")].toString()
                                                                                                   : QStringLiteral("(running)"));
        t += QStringLiteral("\n               %1 check-ins, %2 check-outs, %3 moves, %4 swaps, %5 errors")
                 .arg(s[QStringLiteral("checkIns")].toInt())
                 .arg(s[QStringLiteral("checkOuts")].toInt())
                 .arg(s[QStringLiteral("moves")].toInt())
                 .arg(s[QStringLiteral("swaps")].toInt())
                 .arg(s[QStringLiteral("errors")].toInt());
    }
    const QJsonObject pms = status[QStringLiteral("pms")].toObject();
    const QString server = pms[QStringLiteral("server")].toString();
    t += QStringLiteral("\nPMS database:  %1 %2")
             .arg(server.isEmpty() ? QStringLiteral("(no server set)") : server, yesNo(pms[QStringLiteral("reachable")]));
    const QJsonObject voice = status[QStringLiteral("voiceServer")].toObject();
    const QString connection = voice[QStringLiteral("connection")].toString();
    t += QStringLiteral("\nVoice server:  %1 %2\n")
             .arg(connection.isEmpty() ? QStringLiteral("(none on this machine, no remote server stored)") : connection,
                  yesNo(voice[QStringLiteral("reachable")]));
    return t;
}

}  // namespace

// The exit status a monitor reads, as `systemctl is-active` and init scripts
// give it: 0 running, 3 not running, 4 not installed or unknown.
constexpr int kRunning = 0;
constexpr int kNotRunning = 3;
constexpr int kUnknown = 4;

int exitStatus(const QJsonObject& service) {
    if (!service[QStringLiteral("installed")].toBool()) return kUnknown;
    return service[QStringLiteral("stateCode")].toInt() == int(SERVICE_RUNNING) ? kRunning : kNotRunning;
}

int runStatus(const Arguments& arguments) {
    // A store that cannot be read is an error, never an answer that looks valid.
    if (const std::optional<QString> refusal = storeReadRefusal()) {
        error(*refusal);
        return kUnknown;
    }
    const QString logFile = settingText(Setting::CurrentLogFile);
    const QJsonObject status{{QStringLiteral("service"), serviceStatus()},
                             {QStringLiteral("log"), logStatus(logFile)},
                             {QStringLiteral("lastSweep"), sweepStatus(logFile)},
                             {QStringLiteral("pms"), pmsStatus()},
                             {QStringLiteral("voiceServer"), voiceServerStatus()}};
    if (arguments.has("--json"))
        outBytes(QJsonDocument(status).toJson(QJsonDocument::Compact) + '\n');
    else
        out(text(status));
    return exitStatus(status[QStringLiteral("service")].toObject());
}

}  // namespace ctl
