#include "admin/core/ServiceControl.h"

#include "platform/process.h"

namespace {

constexpr int kWaitMs = 30000;

QString verb(ServiceCommand command) {
    return command == ServiceCommand::Start ? QStringLiteral("start") : QStringLiteral("stop");
}

}  // namespace

QString serviceCommandLine(ServiceCommand command) {
    return QStringLiteral("systemctl ") + verb(command) + QLatin1Char(' ') + QLatin1String(kStavioServiceName);
}

ServiceCommandOutcome controlService(ServiceCommand command) {
    const platform::ProcessOutcome run = platform::processRunner().run(
        QStringLiteral("systemctl"), {verb(command), QLatin1String(kStavioServiceName)}, kWaitMs);
    ServiceCommandOutcome outcome;
    outcome.exitCode = run.exitCode;
    outcome.errorOutput = run.errorOutput;
    if (!run.waited)
        outcome.status = ServiceCommandOutcome::Status::NotRun;
    else if (run.timedOut)
        outcome.status = ServiceCommandOutcome::Status::TimedOut;
    else
        outcome.status = run.exitCode == 0 ? ServiceCommandOutcome::Status::Done : ServiceCommandOutcome::Status::Failed;
    return outcome;
}

QString serviceCommandProblem(ServiceCommand command, const ServiceCommandOutcome& outcome) {
    const QString commandLine = serviceCommandLine(command);
    switch (outcome.status) {
        case ServiceCommandOutcome::Status::Done: return QString();
        case ServiceCommandOutcome::Status::TimedOut:
            return QStringLiteral("'%1' had not finished after 30 s").arg(commandLine);
        case ServiceCommandOutcome::Status::Failed: {
            const QString problem = QStringLiteral("'%1' ended with exit status %2").arg(commandLine).arg(outcome.exitCode);
            return outcome.errorOutput.isEmpty() ? problem : problem + QStringLiteral(": ") + outcome.errorOutput;
        }
        case ServiceCommandOutcome::Status::NotRun: break;
    }
    return QStringLiteral("'%1' could not be run").arg(commandLine);
}
