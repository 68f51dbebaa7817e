// stavioctl start | stop: the service through the service manager.
#include "admin/core/ServiceControl.h"
#include "admin/core/localize/LanguageStrings.h"
#include "admin/ctl/CtlCommand.h"

namespace ctl {

namespace {

using modLocalize::myLoadResString;

int control(ServiceCommand command, int doneText, int failedText) {
    const ServiceCommandOutcome outcome = controlService(command);
    const QString commandLine = serviceCommandLine(command);
    switch (outcome.status) {
        case ServiceCommandOutcome::Status::Done: out(myLoadResString(doneText) + QLatin1Char('\n')); return kSuccess;
        case ServiceCommandOutcome::Status::TimedOut:
            return refuse(myLoadResString(failedText) + QStringLiteral(": '%1' had not finished after 30 s").arg(commandLine));
        case ServiceCommandOutcome::Status::Failed:
            return refuse(myLoadResString(failedText) + QStringLiteral(": '%1' ended with exit status %2").arg(commandLine).arg(outcome.exitCode));
        case ServiceCommandOutcome::Status::NotRun: break;
    }
    return refuse(myLoadResString(failedText) + QStringLiteral(": '%1' could not be run").arg(commandLine));
}

}  // namespace

int runStart(const Arguments&) { return control(ServiceCommand::Start, 1095, 1053); }
int runStop(const Arguments&) { return control(ServiceCommand::Stop, 1096, 1054); }

}  // namespace ctl
