// stavioctl start | stop: the service through the service manager.
#include "admin/core/ServiceControl.h"
#include "admin/core/localize/LanguageStrings.h"
#include "admin/ctl/CtlCommand.h"

namespace ctl {

namespace {

using modLocalize::myLoadResString;

int control(ServiceCommand command, int doneText, int failedText) {
    const ServiceCommandOutcome outcome = controlService(command);
    if (outcome.status == ServiceCommandOutcome::Status::Done) {
        out(myLoadResString(doneText) + QLatin1Char('\n'));
        return kSuccess;
    }
    return refuse(myLoadResString(failedText) + QStringLiteral(": ") + serviceCommandProblem(command, outcome));
}

}  // namespace

int runStart(const Arguments&) { return control(ServiceCommand::Start, 1095, 1053); }
int runStop(const Arguments&) { return control(ServiceCommand::Stop, 1096, 1054); }

}  // namespace ctl
