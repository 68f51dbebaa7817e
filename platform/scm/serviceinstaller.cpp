#include "platform/scm/serviceinstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "platform/registry.h"

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

}  // namespace

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

QString unitText(const ServiceDefinition& d) {
    QString text;
    text += QStringLiteral("[Unit]\nDescription=%1\n").arg(d.displayName);
    text += QStringLiteral("After=network-online.target\nWants=network-online.target\n\n");
    text += QStringLiteral("[Service]\nType=notify\nExecStart=%1\n").arg(d.imagePath);
    // The state file goes to /run/<name>; the service finds it as $RUNTIME_DIRECTORY.
    text += QStringLiteral("RuntimeDirectory=%1\n").arg(d.name);
    // The service must see the registry store the installer wrote to.
    const QString registry = qEnvironmentVariable("STAVIO_REGISTRY");
    if (!registry.isEmpty()) text += QStringLiteral("Environment=\"STAVIO_REGISTRY=%1\"\n").arg(registry);
    text += QStringLiteral("KillSignal=SIGTERM\nTimeoutStopSec=90\n\n[Install]\nWantedBy=multi-user.target\n");
    return text;
}

int installService(const ServiceDefinition& d, QString* error) {
    if (QFileInfo::exists(unitPath(d.name)))
        return fail(ERROR_SERVICE_EXISTS, QStringLiteral("The specified service already exists."), error);
    if (!QDir().mkpath(unitDirectory())) return fail(EACCES, QString::fromLocal8Bit(strerror(EACCES)), error);
    QSaveFile unit(unitPath(d.name));
    if (!unit.open(QIODevice::WriteOnly)) return fail(EACCES, unit.errorString(), error);
    unit.write(unitText(d).toUtf8());
    if (!unit.commit()) return fail(EIO, unit.errorString(), error);

    try {
        RegistryStore& store = machineRegistry();
        const QString key = serviceKey(d.name);
        store.createKey(key);
        store.setValue(key, QStringLiteral("ImagePath"), RegValue::sz(d.imagePath));
        store.setValue(key, QStringLiteral("DisplayName"), RegValue::sz(d.displayName));
        store.setValue(key, QStringLiteral("Start"), RegValue::fromDword(3));
        store.setValue(key, QStringLiteral("Type"), RegValue::fromDword(0x110));
        store.setValue(key, QStringLiteral("ErrorControl"), RegValue::fromDword(1));
        store.setValue(key, QStringLiteral("DependOnService"), RegValue::sz(d.dependencies.join(QLatin1Char(' '))));
    } catch (const RegistryError& e) {
        QFile::remove(unitPath(d.name));
        return fail(EACCES, QString::fromUtf8(e.what()), error);
    }
    reloadSystemd();
    return 0;
}

int uninstallService(const QString& serviceName, QString* error) {
    const bool hasUnit = QFileInfo::exists(unitPath(serviceName));
    bool hasKey = false;
    try {
        hasKey = machineRegistry().keyExists(serviceKey(serviceName));
    } catch (const RegistryError& e) {
        return fail(EACCES, QString::fromUtf8(e.what()), error);
    }
    if (!hasUnit && !hasKey)
        return fail(ERROR_SERVICE_DOES_NOT_EXIST, QStringLiteral("The specified service does not exist as an installed service."),
                    error);
    if (hasUnit && !QFile::remove(unitPath(serviceName))) return fail(EACCES, QString::fromLocal8Bit(strerror(EACCES)), error);
    try {
        machineRegistry().deleteKey(serviceKey(serviceName));
    } catch (const RegistryError& e) {
        return fail(EACCES, QString::fromUtf8(e.what()), error);
    }
    reloadSystemd();
    return 0;
}

}  // namespace platform::scm
