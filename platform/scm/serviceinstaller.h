#pragma once
// Installing and removing a service: a systemd unit in the unit directory
// (env VESSELRUN_UNIT_DIR, default /etc/systemd/system) and its record under
// SYSTEM\CurrentControlSet\Services\<name> in the registry store.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace platform::scm {

struct ServiceDefinition {
    QString name;
    QString displayName;
    QString imagePath;  // the command line, as recorded in the registry store
    QString execStart;  // the same command line in unit syntax (see unitsyntax.h)
    QString program;    // the program file the command line starts
    QStringList dependencies;
    // Variables the service must see as the installer saw them.
    QList<QPair<QString, QString>> environment;
    // Folders the service writes besides its runtime folder; the rest of the
    // file system is read-only to it.
    QStringList writablePaths;
};

// Error numbers of the service manager.
constexpr int ERROR_INVALID_NAME = 123;
constexpr int ERROR_SERVICE_DOES_NOT_EXIST = 1060;
constexpr int ERROR_SERVICE_EXISTS = 1073;
constexpr int ERROR_SERVICE_MARKED_FOR_DELETE = 1072;

// Whether systemd and a file name can carry the service name as it is: ASCII
// letters, digits and ":_.-@", starting with a letter, digit or "_", at most
// one "@" (not at the end: a template cannot run by itself), and short
// enough for a unit name.
bool isValidServiceName(const QString& serviceName);

QString unitDirectory();
QString unitPath(const QString& serviceName);
QString serviceKey(const QString& serviceName);

// The unit file text for a definition: restarted after a failure, with a
// back-off and a limit, and sandboxed (no new privileges, its own /tmp unless
// something it needs lies there, the file system read-only but for its
// writable paths).
QString unitText(const ServiceDefinition& definition);

// Each returns 0 or an error number (errno, or one of the numbers above) and,
// in *error, its text. An install that cannot record the service leaves
// nothing behind. Only an installed service (a unit, or a record with an
// "ImagePath") is removed; any other name changes nothing and gives
// ERROR_SERVICE_DOES_NOT_EXIST.
int installService(const ServiceDefinition& definition, QString* error);
int uninstallService(const QString& serviceName, QString* error);

// The state file of an installed service that the service host runs (found
// through the ProgID of its recorded command line), or "".
QString hostedServiceStateFile(const QString& serviceName);
// Its state as the host last reported it (a host that was killed counts as
// stopped); 0 when no such service is installed.
int hostedServiceState(const QString& serviceName);

// Whether systemd runs this machine (it is PID 1).
bool systemdIsInit();

}  // namespace platform::scm
