#pragma once
// Installing and removing a service: a systemd unit in the unit directory
// (env VESSELRUN_UNIT_DIR, default /etc/systemd/system) and its record under
// SYSTEM\CurrentControlSet\Services\<name> in the registry store.
#include <QString>
#include <QStringList>

namespace platform::scm {

struct ServiceDefinition {
    QString name;
    QString displayName;
    QString imagePath;  // the command line ExecStart runs
    QStringList dependencies;
};

// Error numbers of the service manager.
constexpr int ERROR_SERVICE_DOES_NOT_EXIST = 1060;
constexpr int ERROR_SERVICE_EXISTS = 1073;

QString unitDirectory();
QString unitPath(const QString& serviceName);
QString serviceKey(const QString& serviceName);

// The unit file text for a definition.
QString unitText(const ServiceDefinition& definition);

// Each returns 0 or an error number (errno, or one of the numbers above) and,
// in *error, its text.
int installService(const ServiceDefinition& definition, QString* error);
int uninstallService(const QString& serviceName, QString* error);

// Whether systemd runs this machine (it is PID 1).
bool systemdIsInit();

}  // namespace platform::scm
