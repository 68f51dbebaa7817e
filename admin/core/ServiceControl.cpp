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
    if (!run.waited)
        outcome.status = ServiceCommandOutcome::Status::NotRun;
    else if (run.timedOut)
        outcome.status = ServiceCommandOutcome::Status::TimedOut;
    else
        outcome.status = run.exitCode == 0 ? ServiceCommandOutcome::Status::Done : ServiceCommandOutcome::Status::Failed;
    return outcome;
}
