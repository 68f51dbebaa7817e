// stavioctl status: the service, its log, its last sweep and the servers it needs.
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "admin/ctl/CtlCommand.h"
#include "admin/ctl/StatusFacts.h"
#include "common/SettingsTable.h"
#include "platform/scm/servicestatus.h"

namespace ctl {

namespace {

QString reachability(const QJsonObject& server) {
    return server[QStringLiteral("reachable")].toBool()
               ? QStringLiteral("reachable")
               : QStringLiteral("not reachable (%1)").arg(server[QStringLiteral("problem")].toString());
}

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
             .arg(server.isEmpty() ? QStringLiteral("(no server set)") : server, reachability(pms));
    const QJsonObject voice = status[QStringLiteral("voiceServer")].toObject();
    const QString connection = voice[QStringLiteral("connection")].toString();
    t += QStringLiteral("\nVoice server:  %1 %2\n")
             .arg(connection.isEmpty() ? QStringLiteral("(none on this machine, no remote server stored)") : connection,
                  reachability(voice));
    return t;
}

}  // namespace

// The exit status a monitor reads: 0 running, 3 not running, 4 not installed.
int exitStatus(const QJsonObject& service) {
    if (!service[QStringLiteral("installed")].toBool()) return kStatusUnknown;
    return service[QStringLiteral("stateCode")].toInt() == int(platform::scm::SERVICE_RUNNING) ? kSuccess : kStatusNotRunning;
}

int runStatus(const Arguments& arguments) {
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
