#include "host/Installer.h"

#include <QDir>
#include <QFileInfo>

#include "host/ErrorReport.h"
#include "platform/registry.h"
#include "platform/scm/serviceinstaller.h"
#include "platform/scm/servicestatus.h"

bool installService(const CommandLine& line, const QString& program) {
    if (program.isEmpty()) {
        reportError(QStringLiteral("Failed to get executable file name"), errnoCode(ENOENT));
        return false;
    }
    platform::scm::ServiceDefinition definition;
    definition.name = line.serviceName;
    definition.displayName = line.displayName;
    definition.imagePath = imagePath(program, line);
    definition.execStart = execStartLine(program, line);
    // The service must see the registry store the installer wrote to, the
    // regional date format its settings were written in, and the state folder
    // where the installer's programs look for its state.
    for (const char* name : {"STAVIO_REGISTRY", "STAVIO_DATE_FORMAT", "VESSELRUN_STATE_DIR"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) definition.environment.append({QLatin1String(name), value});
    }
    definition.program = program;
    // The registry store's folder (the store, its write-ahead log and the
    // event-log file kept beside it) and a state folder of its own.
    definition.writablePaths.append(QFileInfo(platform::machineRegistryPath()).absolutePath());
    const QString stateFolder = qEnvironmentVariable("VESSELRUN_STATE_DIR");
    if (!stateFolder.isEmpty()) {
        QDir().mkpath(stateFolder);  // the service cannot make it in a read-only file system
        definition.writablePaths.append(QFileInfo(stateFolder).absoluteFilePath());
    }
    definition.dependencies = QStringList{QStringLiteral("RPCSS")};
    QString error;
    const int code = platform::scm::installService(definition, &error);
    if (code != 0) {
        reportError(QStringLiteral("Failed to create service"), managerCode(code, error));
        return false;
    }
    return true;
}

bool uninstallService(const QString& serviceName) {
    QString error;
    const int code = platform::scm::uninstallService(serviceName, &error);
    if (code == 0 || code == platform::scm::ERROR_SERVICE_DOES_NOT_EXIST) return true;
    reportError(QStringLiteral("Failed to delete service"), managerCode(code, error));
    return false;
}

bool reinstallService(const CommandLine& line, const QString& program) {
    const int state = platform::scm::hostedServiceState(line.serviceName);
    const bool running = state != 0 && state != platform::scm::SERVICE_STOPPED;
    uninstallService(line.serviceName);
    if (running) {
        reportError(QStringLiteral("Failed to create service"),
                    managerCode(platform::scm::ERROR_SERVICE_MARKED_FOR_DELETE,
                                QStringLiteral("The specified service has been marked for deletion.")));
        return false;
    }
    return installService(line, program);
}
