// Vesselrun: runs any control that implements IService as a service, and
// installs or removes such a service.
#include <QCoreApplication>
#include <cstdio>

#include "host/CommandLine.h"
#include "host/ErrorReport.h"
#include "host/Installer.h"
#include "host/ServiceHost.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    const CommandLine line = parseCommandLine(arguments);

    const bool needsName = line.mode != HostMode::Run && line.serviceName.isEmpty();
    const bool needsProgId = line.mode == HostMode::Install && line.progId.isEmpty();
    if (line.empty || needsName || needsProgId) {
        fputs(usageText().toLocal8Bit().constData(), stdout);
        return 1;
    }
    if (const QString problem = commandLineProblem(line); !problem.isEmpty()) {
        reportError(problem);
        return 1;
    }
    switch (line.mode) {
        case HostMode::Install:
            return reinstallService(line, QCoreApplication::applicationFilePath()) ? 0 : 1;
        case HostMode::Uninstall:
            return uninstallService(line.serviceName) ? 0 : 1;
        case HostMode::Run:
            break;
    }
    ServiceHost host(line);
    return host.run();
}
