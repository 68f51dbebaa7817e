#include "sim/voxaren/ServerIdentity.h"

#include <QStringList>

#include "platform/registry.h"

namespace voxaren {

namespace {

// Decimal digits read as hex digits: 2 -> 0x2, 10 -> 0x10.
quint32 decimalAsHex(int value) { return QString::number(value).toUInt(nullptr, 16); }

void write(const QString& key, const QString& name, const platform::RegValue& value) {
    platform::RegistryStore& store = platform::machineRegistry();
    store.createKey(key);
    if (!store.setValue(key, name, value))
        throw platform::registryError(
            QStringLiteral("Registry store: cannot write %1 under %2").arg(name, key));
}

QString readText(const QString& key, const QString& name) {
    const auto value = platform::machineRegistry().value(key, name);
    return value && value->type == platform::RegType::Sz ? value->text : QString();
}

}  // namespace

QString defaultDatabasePath() { return QStringLiteral("/var/lib/stavio/voxaren/VoxarenDb.sqlite"); }

QString ServerVersionNumbers::text() const {
    return QStringLiteral("%1.%2.%3.%4").arg(major).arg(minor).arg(build).arg(revision);
}

std::optional<ServerVersionNumbers> parseServerVersion(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4) return std::nullopt;
    int numbers[4];
    const int limits[4] = {9999, 9999, 9999, 32767};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok || numbers[i] < 0 || numbers[i] > limits[i] || parts[i].startsWith(QLatin1Char('+')))
            return std::nullopt;
    }
    return ServerVersionNumbers{numbers[0], numbers[1], numbers[2], numbers[3]};
}

quint32 versionNumber(const ServerVersionNumbers& v) { return decimalAsHex(v.major) << 16 | decimalAsHex(v.minor); }

quint32 buildNumber(const ServerVersionNumbers& v) { return decimalAsHex(v.build) << 16 | quint32(v.revision); }

void writeServerVersion(const ServerVersionNumbers& version) {
    write(kVersionKey, QStringLiteral("Version Number"), platform::RegValue::fromDword(versionNumber(version)));
    write(kVersionKey, QStringLiteral("Build Number"), platform::RegValue::fromDword(buildNumber(version)));
}

void writeServerIdentity(const QString& databasePath, const QString& rootPath, const ServerVersionNumbers& version) {
    write(kCorevaneKey, kRootPathValue, platform::RegValue::sz(rootPath));
    write(kCorevaneKey, kDatabasePathValue, platform::RegValue::sz(databasePath));
    writeServerVersion(version);
    write(kSystemParametersKey, QStringLiteral("IDCProgID"), platform::RegValue::sz(kDirectoryConnector));
}

QString localDatabasePath() { return readText(kCorevaneKey, kDatabasePathValue); }

QString remoteDatabasePath(const QString& host) {
    return readText(kServersKey + QLatin1Char('\\') + host, kDatabasePathValue);
}

}  // namespace voxaren
