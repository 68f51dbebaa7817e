#include "platform/scm/serviceinstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "platform/registry.h"
#include "platform/scm/servicestatus.h"
#include "platform/scm/unitsyntax.h"

namespace platform::scm {

namespace {

int fail(int code, const QString& text, QString* error) {
    if (error) *error = text;
    return code;
}

void reloadSystemd() {
    if (!systemdIsInit()) return;
    QProcess::execute(QStringLiteral("systemctl"), {QStringLiteral("daemon-reload")});
}

// A unit name is at most 255 characters, ".service" included.
constexpr int kMaxServiceNameLength = 255 - 8;

int invalidName(const QString& serviceName, QString* error) {
    return fail(ERROR_INVALID_NAME, QStringLiteral("The name \"%1\" cannot name a service.").arg(serviceName), error);
}

// Writes the service's record; false when a write did not happen.
bool writeRecord(RegistryStore& store, const ServiceDefinition& d, QString* failedValue) {
    const QString key = serviceKey(d.name);
    store.createKey(key);
    const QList<QPair<const char*, RegValue>> values{
        {"ImagePath", RegValue::sz(d.imagePath)},
        {"DisplayName", RegValue::sz(d.displayName)},
        {"Start", RegValue::fromDword(3)},
        {"Type", RegValue::fromDword(0x110)},
        {"ErrorControl", RegValue::fromDword(1)},
        {"DependOnService", RegValue::sz(d.dependencies.join(QLatin1Char(' ')))},
    };
    for (const auto& [name, value] : values) {
        if (!store.setValue(key, QLatin1String(name), value)) {
            *failedValue = QLatin1String(name);
            return false;
        }
    }
    return true;
}

}  // namespace

bool isValidServiceName(const QString& serviceName) {
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9:_.@-]*$"));
    if (serviceName.size() > kMaxServiceNameLength || !form.match(serviceName).hasMatch()) return false;
    return serviceName.count(QLatin1Char('@')) <= 1 && !serviceName.endsWith(QLatin1Char('@'));
}

QString unitDirectory() {
    const QString dir = qEnvironmentVariable("VESSELRUN_UNIT_DIR");
    return dir.isEmpty() ? QStringLiteral("/etc/systemd/system") : dir;
}

QString unitPath(const QString& serviceName) { return unitDirectory() + QLatin1Char('/') + serviceName + QStringLiteral(".service"); }

QString serviceKey(const QString& serviceName) { return QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\") + serviceName; }

bool systemdIsInit() {
    QFile comm(QStringLiteral("/proc/1/comm"));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "systemd";
}

namespace {

// Whether a path lies in a temporary folder that a private /tmp would hide.
bool inTemporaryFolder(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    for (const QString& tmp : {QStringLiteral("/tmp"), QStringLiteral("/var/tmp")})
        if (clean == tmp || clean.startsWith(tmp + QLatin1Char('/'))) return true;
    return false;
}

}  // namespace

QString unitText(const ServiceDefinition& d) {
    QString text;
    text += QStringLiteral("[Unit]\nDescription=") + unitPlainText(d.displayName) + QLatin1Char('\n');
    text += QStringLiteral("After=network-online.target\nWants=network-online.target\n");
    // Restarts stop after five failed starts within half an hour (a start may
    // take 190 s before it fails), so a service that cannot start, its
    // settings missing say, is not started for ever.
    text += QStringLiteral("StartLimitIntervalSec=1800\nStartLimitBurst=5\n\n");
    text += QStringLiteral("[Service]\nType=notify\nExecStart=") + d.execStart + QLatin1Char('\n');
    text += QStringLiteral("Restart=on-failure\nRestartSec=30\n");
    // State files go to /run/vesselrun, shared by every hosted service and
    // read by other programs: kept when a service stops.
    text += QStringLiteral("RuntimeDirectory=vesselrun\nRuntimeDirectoryPreserve=yes\n");
    for (const auto& [name, value] : d.environment)
        text += QStringLiteral("Environment=") + unitEnvironmentAssignment(name, value) + QLatin1Char('\n');
    // A start may wait 190 s for a database service before it gives up.
    text += QStringLiteral("TimeoutStartSec=300\n");
    text += QStringLiteral("KillSignal=SIGTERM\nTimeoutStopSec=90\n");

    text += QStringLiteral("NoNewPrivileges=yes\n");
    bool needsHostTmp = inTemporaryFolder(d.program);
    for (const QString& path : d.writablePaths) needsHostTmp = needsHostTmp || inTemporaryFolder(path);
    // A private /tmp would hide a program or folder the service needs there.
    text += needsHostTmp ? QStringLiteral("PrivateTmp=no\n") : QStringLiteral("PrivateTmp=yes\n");
    text += QStringLiteral("ProtectSystem=strict\n");
    QStringList writable;
    for (const QString& path : d.writablePaths) {
        const QString word = unitOptionalPath(path);
        if (!word.isEmpty() && !writable.contains(word)) writable.append(word);
    }
    if (!writable.isEmpty()) text += QStringLiteral("ReadWritePaths=") + writable.join(QLatin1Char(' ')) + QLatin1Char('\n');
    // What no control needs: the kernel's settings, modules and log, control
    // groups, the host name, new namespaces, real-time scheduling, set-id
    // files, other personalities or system-call architectures. Devices stay
    // open, since a control may drive one.
    text += QStringLiteral("ProtectKernelTunables=yes\nProtectKernelModules=yes\nProtectKernelLogs=yes\n"
                           "ProtectControlGroups=yes\nProtectHostname=yes\nRestrictNamespaces=yes\n"
                           "RestrictRealtime=yes\nRestrictSUIDSGID=yes\nLockPersonality=yes\n"
                           "SystemCallArchitectures=native\n");
    text += QStringLiteral("\n[Install]\nWantedBy=multi-user.target\n");
    return text;
}

int installService(const ServiceDefinition& d, QString* error) {
    if (!isValidServiceName(d.name)) return invalidName(d.name, error);
    bool keyTaken = false;  // by a service, or by something else kept beside the services
    try {
        keyTaken = machineRegistry().keyExists(serviceKey(d.name));
    } catch (const Error& e) {
        return fail(EACCES, QString::fromUtf8(e.what()), error);
    }
    if (keyTaken || QFileInfo::exists(unitPath(d.name)))
        return fail(ERROR_SERVICE_EXISTS, QStringLiteral("The specified service already exists."), error);
    if (!QDir().mkpath(unitDirectory())) return fail(EACCES, QString::fromLocal8Bit(strerror(EACCES)), error);
    QSaveFile unit(unitPath(d.name));
    if (!unit.open(QIODevice::WriteOnly)) return fail(EACCES, unit.errorString(), error);
    unit.write(unitText(d).toUtf8());
    if (!unit.commit()) return fail(EIO, unit.errorString(), error);

    int code = 0;
    QString why;
    try {
        QString failedValue;
        if (!writeRecord(machineRegistry(), d, &failedValue)) {
            code = EIO;
            why = QStringLiteral("The value \"%1\" could not be written under %2").arg(failedValue, serviceKey(d.name));
        }
    } catch (const Error& e) {
        code = EACCES;
        why = QString::fromUtf8(e.what());
    }
    if (code != 0) {
        // Half a service is no service: take back the unit and what was recorded.
        QFile::remove(unitPath(d.name));
        try {
            machineRegistry().deleteKey(serviceKey(d.name));
        } catch (const Error&) {
        }
        return fail(code, why, error);
    }
    reloadSystemd();
    return 0;
}

namespace {

// The links "systemctl enable" made for the service (multi-user.target.wants
// and the like): left behind, each would name a unit that is gone.
void removeEnablingLinks(const QString& serviceName) {
    const QString name = serviceName + QStringLiteral(".service");
    const QDir units(unitDirectory());
    for (const QString& folder : units.entryList({QStringLiteral("*.wants"), QStringLiteral("*.requires")}, QDir::Dirs)) {
        const QFileInfo link(units.filePath(folder + QLatin1Char('/') + name));
        if (link.isSymLink()) QFile::remove(link.filePath());
    }
}

}  // namespace

int uninstallService(const QString& serviceName, QString* error) {
    if (!isValidServiceName(serviceName)) return invalidName(serviceName, error);
    const bool hasUnit = QFileInfo::exists(unitPath(serviceName));
    bool hasRecord = false;  // other keys live beside the services (the event log's sources)
    try {
        hasRecord = machineRegistry().value(serviceKey(serviceName), QStringLiteral("ImagePath")).has_value();
    } catch (const Error& e) {
        return fail(EACCES, QString::fromUtf8(e.what()), error);
    }
    if (!hasUnit && !hasRecord)
        return fail(ERROR_SERVICE_DOES_NOT_EXIST, QStringLiteral("The specified service does not exist as an installed service."),
                    error);
    if (hasUnit && !QFile::remove(unitPath(serviceName))) return fail(EACCES, QString::fromLocal8Bit(strerror(EACCES)), error);
    removeEnablingLinks(serviceName);
    try {
        if (hasRecord) machineRegistry().deleteKey(serviceKey(serviceName));
    } catch (const Error& e) {
        return fail(EACCES, QString::fromUtf8(e.what()), error);
    }
    reloadSystemd();
    return 0;
}

QString hostedServiceStateFile(const QString& serviceName) {
    try {
        const auto image = machineRegistry().value(serviceKey(serviceName), QStringLiteral("ImagePath"));
        if (!image) return QString();
        static const QRegularExpression progId(QStringLiteral("progid=(\\S+)"), QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = progId.match(image->text);
        return m.hasMatch() ? stateFilePath(m.captured(1)) : QString();
    } catch (const Error&) {
        return QString();
    }
}

int hostedServiceState(const QString& serviceName) {
    const QString file = hostedServiceStateFile(serviceName);
    if (file.isEmpty()) return 0;
    const auto status = readStatusFile(file);
    return status ? currentState(*status) : SERVICE_STOPPED;
}

}  // namespace platform::scm
