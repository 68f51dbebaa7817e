#include "common/VoxarenVersion.h"

#include "common/RegistryAPI.h"
#include "common/SystemEnv.h"

namespace {

// The number's leading decimal digits, as a basic-language Val() reads them.
short leadingDecimal(const QString& text) {
    int value = 0;
    for (const QChar c : text) {
        if (!c.isDigit()) break;
        value = value * 10 + c.digitValue();
    }
    return static_cast<short>(value);
}

QString hex8(quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

ServerVersion DecodeVoxarenVersion(quint32 versionNumber, quint32 buildNumber) {
    ServerVersion v;
    const QString version = hex8(versionNumber);
    const QString build = hex8(buildNumber);
    v.Major = leadingDecimal(version.left(4));
    v.Minor = leadingDecimal(version.right(4));
    v.Build = leadingDecimal(build.left(4));
    // Four hex digits held in a signed 16-bit field, as the server's tools do.
    v.Revision = static_cast<short>(build.right(4).toUShort(nullptr, 16));
    v.Text = QStringLiteral("%1.%2(%3.%4)").arg(v.Major).arg(v.Minor).arg(v.Build).arg(v.Revision);
    return v;
}

void ReadVoxarenVersion() {
    const QString key = QStringLiteral("Software\\Brightkeel\\");
    const auto read = [&](const char* name) {
        return static_cast<quint32>(
            RegistryAPI::QueryValue(RegistryAPI::HKEY_LOCAL_MACHINE, key, QLatin1String(name),
                                    RegistryAPI::REG_DWORD, 0)
                .toLongLong());
    };
    systemEnv().serverVersion = DecodeVoxarenVersion(read("Version Number"), read("Build Number"));
}

const ServerVersion& serverVersion() { return systemEnv().serverVersion; }

bool IsVoxarenVersionAtLeast(short major, short minor, short build, short revision) {
    const ServerVersion& current = serverVersion();
    const short mine[] = {current.Major, current.Minor, current.Build, current.Revision};
    const short wanted[] = {major, minor, build, revision};
    for (int i = 0; i < 4; ++i)
        if (mine[i] != wanted[i]) return mine[i] > wanted[i];
    return true;
}
