#pragma once
// The server's identity in the registry store: where it is installed, its
// version, its directory connector, and where its database lives.
//
//   SOFTWARE\Brightkeel\Corevane\1.0            "Root Path" (folder, ends in "/";
//                                                its "stream files/" holds greetings)
//                                                "VoxarenDb Path" (this machine's
//                                                server database file)
//   SOFTWARE\Brightkeel\Corevane\1.0\Servers\<HOST>   "VoxarenDb Path" of another
//                                                machine's server, as this one
//                                                reaches it (e.g. a shared mount)
//   Software\Brightkeel\                         "Version Number", "Build Number"
//   SOFTWARE\Brightkeel\SystemParameters\1.0     "IDCProgID"
#include <QString>
#include <optional>

namespace voxaren {

inline const QString kCorevaneKey = QStringLiteral("SOFTWARE\\Brightkeel\\Corevane\\1.0");
inline const QString kServersKey = QStringLiteral("SOFTWARE\\Brightkeel\\Corevane\\1.0\\Servers");
inline const QString kVersionKey = QStringLiteral("Software\\Brightkeel\\");
inline const QString kSystemParametersKey = QStringLiteral("SOFTWARE\\Brightkeel\\SystemParameters\\1.0");
inline const QString kRootPathValue = QStringLiteral("Root Path");
inline const QString kDatabasePathValue = QStringLiteral("VoxarenDb Path");
inline const QString kDirectoryConnector = QStringLiteral("BkDcAdSvr.BkDcAd.1");

QString defaultDatabasePath();  // /var/lib/stavio/voxaren/VoxarenDb.sqlite

struct ServerVersionNumbers {
    int major = 4;
    int minor = 0;
    int build = 3;
    int revision = 89;
    QString text() const;  // "4.0.3.89"
};

// "MAJOR.MINOR.BUILD.REVISION": major, minor and build 0-9999, revision
// 0-32767; nullopt for anything else.
std::optional<ServerVersionNumbers> parseServerVersion(const QString& text);

// The registry numbers: major and minor (and build) are written in decimal
// digits inside hex words, the revision as a plain hex word, so that 4.0.2.104
// gives version 0x00040000 and build 0x00020068.
quint32 versionNumber(const ServerVersionNumbers& version);
quint32 buildNumber(const ServerVersionNumbers& version);

// Writes "Version Number" and "Build Number". Raises platform::Error.
void writeServerVersion(const ServerVersionNumbers& version);

// Writes the whole identity of a server whose database is `databasePath` and
// whose root folder is `rootPath` (which must end in "/").
void writeServerIdentity(const QString& databasePath, const QString& rootPath, const ServerVersionNumbers& version);

// This machine's server database as the registry store names it ("" when none).
QString localDatabasePath();
// Another machine's, listed under Servers ("" when not listed).
QString remoteDatabasePath(const QString& host);

}  // namespace voxaren
