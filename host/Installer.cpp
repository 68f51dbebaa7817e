#include "host/Installer.h"

#include "host/ErrorReport.h"
#include "platform/scm/serviceinstaller.h"

bool installService(const CommandLine& line, const QString& program) {
    if (program.isEmpty()) {
        reportError(QStringLiteral("Failed to get executable file name"), errnoCode(ENOENT));
        return false;
    }
    platform::scm::ServiceDefinition definition;
    definition.name = line.serviceName;
    definition.displayName = line.displayName;
    definition.imagePath = imagePath(program, line);
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
