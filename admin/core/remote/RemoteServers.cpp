#include "admin/core/remote/RemoteServers.h"

#include "admin/core/AdminEnv.h"
#include "admin/core/remote/ServerDiscovery.h"
#include "common/ErrorTrap.h"
#include "platform/db/connection.h"

QStringList ListDomains(const QString& providerName) {
    QStringList domains;
    try {
        domains = adminEnv().discovery->domains(providerName);
    } catch (const std::exception&) {
        prompt().message(QStringLiteral("Error in procedure ListDomains of Module modDomains"), nullptr,
                         Prompt::Kind::Error);
    }
    return domains;
}

QStringList getServers(const QString& domainName) {
    ErrorTrap trap("getServers", "Module", "modServers");
    QStringList servers;
    trap.step([&] { servers = adminEnv().discovery->servers(domainName); });
    return servers;
}

QString remoteVoiceServerConnection(const QString& serverName) {
    return QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                          "Initial Catalog=VoxarenDb;Data Source=") +
           platform::db::connectionStringValue(serverName);
}

ServerConnectionTest testServerConnection(const QString& connection) {
    ServerConnectionTest test;
    try {
        platform::db::database(connection);
        test.outcome = ServerConnectionTest::Outcome::Valid;
    } catch (const platform::Error& e) {
        test.outcome = e.number() == platform::db::errors::ConnectionFailed ? ServerConnectionTest::Outcome::Refused
                                                                            : ServerConnectionTest::Outcome::Failed;
        test.description = e.description();
    } catch (const std::exception& e) {
        test.description = QString::fromUtf8(e.what());
    }
    // The test's connection is not kept.
    platform::db::dropConnection(connection);
    return test;
}
