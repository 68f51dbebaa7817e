// stavioctl check: the service's health in the monitoring-plugin convention
// (one status line with performance data; exit 0 OK, 1 WARNING, 2 CRITICAL,
// 3 UNKNOWN), for the monitors a hotel's IT already runs.
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <optional>

#include "admin/core/StoreAccess.h"
#include "admin/ctl/CtlCommand.h"
#include "admin/ctl/LastSweep.h"
#include "admin/ctl/StatusFacts.h"
#include "audit/AuditCommand.h"
#include "audit/ReconciliationAudit.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "platform/scm/servicestatus.h"

namespace ctl {

namespace {

enum Severity { kOk = 0, kWarning = 1, kCritical = 2, kUnknown = kCheckUnknown };

const char* severityName(Severity s) {
    switch (s) {
        case kOk: return "OK";
        case kWarning: return "WARNING";
        case kCritical: return "CRITICAL";
        case kUnknown: return "UNKNOWN";
    }
    return "UNKNOWN";
}

struct Thresholds {
    qint64 sweepWarning = 0;  // seconds since the last finished sweep
    qint64 sweepCritical = 0;
    int driftWarning = 1;
    int driftCritical = 10;
};

// What the check found: the worst state, the problems in the order found,
// the performance data.
struct Health {
    Severity worst = kOk;
    QStringList problems;
    QStringList facts;  // said when nothing is wrong
    QStringList perfData;

    // Worse to better: CRITICAL (what needs doing), UNKNOWN, WARNING, OK.
    static int rank(Severity s) { return s == kCritical ? 3 : s == kUnknown ? 2 : int(s); }
    void add(Severity s, const QString& problem) {
        problems << problem;
        if (rank(s) > rank(worst)) worst = s;
    }
    void perf(const QString& label, const QString& value, const QString& levels = QStringLiteral(";;"),
              const QString& range = QStringLiteral("0;1")) {
        perfData << label + QLatin1Char('=') + value + levels + QLatin1Char(';') + range;
    }
    void flag(const QString& label, bool on) { perf(label, on ? QStringLiteral("1") : QStringLiteral("0")); }
};

std::optional<qint64> number(const Arguments& arguments, const char* option, QString& problem) {
    if (!arguments.values.contains(QLatin1String(option))) return std::nullopt;
    bool ok = false;
    const qint64 n = arguments.value(option).toLongLong(&ok);
    if (!ok || n < 0) problem = QStringLiteral("%1 takes a whole number, not '%2'").arg(QLatin1String(option), arguments.value(option));
    return n;
}

// The thresholds: given, or 3 and 10 sweep cycles, 1 and 10 drifts.
std::optional<Thresholds> thresholds(const Arguments& arguments, QString& problem) {
    Thresholds t;
    const qint64 cycle = 60 * std::max(1, int(readSetting(Setting::SyncCycleMinutes, SettingsReader::Service).toInt()));
    t.sweepWarning = number(arguments, "--sweep-warning", problem).value_or(3 * cycle);
    t.sweepCritical = number(arguments, "--sweep-critical", problem).value_or(10 * cycle);
    t.driftWarning = int(number(arguments, "--drift-warning", problem).value_or(t.driftWarning));
    t.driftCritical = int(number(arguments, "--drift-critical", problem).value_or(t.driftCritical));
    if (problem.isEmpty() && (t.sweepWarning > t.sweepCritical || t.driftWarning > t.driftCritical))
        problem = QStringLiteral("a warning threshold is above its critical one");
    if (!problem.isEmpty()) return std::nullopt;
    return t;
}

void checkService(Health& h) {
    const QJsonObject service = serviceStatus();
    const bool running = service[QStringLiteral("stateCode")].toInt() == int(platform::scm::SERVICE_RUNNING);
    const QString state = service[QStringLiteral("state")].toString();
    if (running)
        h.facts << QStringLiteral("service running");
    else
        h.add(kCritical, QStringLiteral("service %1").arg(state));
    h.flag(QStringLiteral("service_running"), running);
}

void checkSweep(Health& h, const QString& logFile, const Thresholds& t) {
    std::optional<LastSweep> sweep;
    try {
        if (!logFile.isEmpty()) sweep = readLastSweep(logFile);
    } catch (const std::exception&) {
    }
    const std::optional<QDateTime> finished =
        sweep ? platform::datefmt::parseGeneralDate(sweep->lastFinished) : std::nullopt;
    const QString levels = QStringLiteral(";%1;%2").arg(t.sweepWarning).arg(t.sweepCritical);
    if (!finished) {
        h.add(kWarning, QStringLiteral("no finished sweep in the log"));
        h.perf(QStringLiteral("sweep_age"), QStringLiteral("U"), levels, QStringLiteral("0"));
        return;
    }
    const qint64 age = std::max<qint64>(0, finished->secsTo(platform::clock().now()));
    const QString said = QStringLiteral("last sweep %1 s ago").arg(age);
    if (age > t.sweepCritical)
        h.add(kCritical, said);
    else if (age > t.sweepWarning)
        h.add(kWarning, said);
    else
        h.facts << said;
    h.perf(QStringLiteral("sweep_age"), QString::number(age) + QLatin1Char('s'), levels, QStringLiteral("0"));
}

// Both servers answer; then the audit's drifts and the hotel's size.
void checkServersAndDrift(Health& h, const Thresholds& t) {
    const QJsonObject pmsFacts = pmsStatus(), serverFacts = voiceServerStatus();
    const bool pms = pmsFacts[QStringLiteral("reachable")].toBool();
    const bool server = serverFacts[QStringLiteral("reachable")].toBool();
    if (!pms) h.add(kCritical, QStringLiteral("PMS database not reachable: ") + pmsFacts[QStringLiteral("problem")].toString());
    if (!server)
        h.add(kCritical, QStringLiteral("voice-messaging server not reachable: ") + serverFacts[QStringLiteral("problem")].toString());
    h.flag(QStringLiteral("pms_reachable"), pms);
    h.flag(QStringLiteral("server_reachable"), server);
    const QString driftLevels = QStringLiteral(";%1;%2").arg(t.driftWarning).arg(t.driftCritical);
    if (!pms || !server) {
        h.perf(QStringLiteral("drift"), QStringLiteral("U"), driftLevels, QStringLiteral("0"));
        return;
    }
    const audit::AuditSides sides = audit::sidesFromSettings(std::nullopt);
    audit::AuditResult result;
    if (sides.problem.isEmpty())
        result = audit::findDrifts(sides.pmsConnection, sides.serverConnection, sides.archiveDays);
    else
        result.failure = sides.problem;
    if (!result.ok()) {
        h.add(kUnknown, QStringLiteral("drift unknown: %1").arg(result.failure));
        h.perf(QStringLiteral("drift"), QStringLiteral("U"), driftLevels, QStringLiteral("0"));
        return;
    }
    const int drifts = int(result.drifts.size());
    const QString said = drifts == 0 ? QStringLiteral("no drift") : QStringLiteral("%1 drifted rooms (see stavioctl audit)").arg(drifts);
    if (drifts >= t.driftCritical)
        h.add(kCritical, said);
    else if (drifts >= t.driftWarning)
        h.add(kWarning, said);
    else
        h.facts << QStringLiteral("%1 guest mailboxes, %2 rooms, no drift").arg(result.guests).arg(result.rooms);
    h.perf(QStringLiteral("drift"), QString::number(drifts), driftLevels, QStringLiteral("0"));
    h.perf(QStringLiteral("guests"), QString::number(result.guests), QStringLiteral(";;"), QStringLiteral("0"));
    h.perf(QStringLiteral("rooms"), QString::number(result.rooms), QStringLiteral(";;"), QStringLiteral("0"));
}

// The log the service writes: there, on a file system that takes writes.
void checkLog(Health& h, const QString& logFile) {
    const QStorageInfo storage(logFile);
    const bool writable = !logFile.isEmpty() && QFileInfo(logFile).isFile() && storage.isValid() &&
                          !storage.isReadOnly() && storage.bytesAvailable() > 0;
    if (!writable)
        h.add(kWarning, logFile.isEmpty() ? QStringLiteral("no log file yet")
                                          : QStringLiteral("log %1 missing or its file system full or read-only").arg(logFile));
    h.flag(QStringLiteral("log_writable"), writable);
}

int report(Severity state, const QString& summary, const QStringList& perfData = {}) {
    out(QStringLiteral("STAVIO %1 - %2").arg(QLatin1String(severityName(state)), summary) +
        (perfData.isEmpty() ? QString() : QStringLiteral(" | ") + perfData.join(QLatin1Char(' '))) + QLatin1Char('\n'));
    return state;
}

}  // namespace

int runCheck(const Arguments& arguments) {
    // A monitor reads the status line on standard output, also for UNKNOWN.
    if (const std::optional<QString> refusal = storeReadRefusal()) return report(kUnknown, *refusal);
    QString problem;
    const std::optional<Thresholds> t = thresholds(arguments, problem);
    if (!t) return report(kUnknown, problem);
    Health h;
    const QString logFile = settingText(Setting::CurrentLogFile);
    checkService(h);
    checkSweep(h, logFile, *t);
    checkServersAndDrift(h, *t);
    checkLog(h, logFile);
    // The problems' reasons may hold commas.
    return report(h.worst, h.problems.isEmpty() ? h.facts.join(QStringLiteral(", ")) : h.problems.join(QStringLiteral("; ")),
                  h.perfData);
}

}  // namespace ctl
