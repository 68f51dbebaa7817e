#include "sim/voxaren/ServerAccess.h"

#include "common/VoiceServerObjects.h"
#include "sim/voxaren/ServerObjects.h"

#include <QFileInfo>

#include "platform/db/command.h"
#include "platform/hostinfo.h"
#include "platform/registry.h"
#include "platform/scm/servicestatus.h"
#include "sim/voxaren/Dialect.h"
#include "sim/voxaren/Procedures.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/ServerDatabase.h"
#include "sim/voxaren/ServerIdentity.h"
#include "sim/voxaren/SqlFunctions.h"

namespace voxaren {

namespace {

platform::Error unreachable(const QString& why) {
    return platform::Error(platform::db::errors::ConnectionFailed, QStringLiteral("[Voxaren] ") + why);
}

}  // namespace

bool isLocalServerName(const QString& host) {
    const QString h = host.trimmed();
    if (h.isEmpty() || h == QLatin1String(".")) return true;
    for (const char* name : {"(local)", "localhost"})
        if (h.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
    const QString computer = platform::readHostInfo().computerName;
    return !computer.isEmpty() && h.compare(computer, Qt::CaseInsensitive) == 0;
}

platform::db::ConnectionSpec resolveServer(const platform::db::ConnectionSpec& requested) {
    const QString database = requested.database.trimmed();
    if (!database.isEmpty() && database.compare(QLatin1String("VoxarenDb"), Qt::CaseInsensitive) != 0)
        throw unreachable(QStringLiteral("Cannot open database \"%1\": the voice-messaging server has only VoxarenDb")
                              .arg(database));
    const bool local = isLocalServerName(requested.host);
    QString path;
    try {
        path = local ? localDatabasePath() : remoteDatabasePath(requested.host.trimmed());
    } catch (const platform::Error& e) {
        throw unreachable(QStringLiteral("Cannot read the registry store: ") + QString::fromUtf8(e.what()));
    }
    if (path.isEmpty())
        throw unreachable(local ? QStringLiteral("No voice-messaging server is installed on this machine (no \"%1\" "
                                                 "under %2)")
                                      .arg(kDatabasePathValue, kCorevaneKey)
                                : QStringLiteral("The voice-messaging server %1 is not reachable (it is not listed "
                                                 "under %2\\%1)")
                                      .arg(requested.host.trimmed(), kServersKey));
    if (!QFileInfo(path).isFile())
        throw unreachable(QStringLiteral("The voice-messaging server's database %1 does not exist").arg(path));

    platform::db::ConnectionSpec resolved;
    resolved.backend = platform::db::Backend::Sqlite;
    resolved.path = path;
    resolved.database = QStringLiteral("VoxarenDb");
    resolved.attributes = requested.attributes;
    resolved.onOpen = [](QSqlDatabase& db) { registerServerFunctions(db); };
    resolved.translateSql = translateSql;
    resolved.baseTableOf = baseTableOf;
    return resolved;
}

void installServerAccess(SystemEnv& env) {
    env.setVoiceServer(resolveServer, std::make_shared<ServerProcedures>());
    env.serverObjects = serverObjects();
    env.setServiceStateSource(QStringLiteral("MSSQLSERVER"), databaseServiceState);
}

int databaseServiceState() {
    try {
        const QString path = localDatabasePath();
        if (path.isEmpty()) return platform::scm::SERVICE_STOPPED;
        ServerDatabase server(path);
        return schemaVersion(server.db()) > 0 ? platform::scm::SERVICE_RUNNING : platform::scm::SERVICE_STOPPED;
    } catch (const platform::Error&) {
        return platform::scm::SERVICE_STOPPED;
    }
}

}  // namespace voxaren
