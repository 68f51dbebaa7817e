#include "admin/core/remote/ServerDiscovery.h"

#include "common/WorkStationInfo.h"
#include "platform/registry.h"

namespace {

struct ListedServer {
    QString name;
    QString domain;
};

std::vector<ListedServer> listedServers(const QString& ownDomain) {
    platform::RegistryStore& store = platform::machineRegistry();
    std::vector<ListedServer> listed;
    for (const QString& host : store.subkeys(kListedServersKey)) {
        const std::optional<platform::RegValue> domain =
            store.value(kListedServersKey + QLatin1Char('\\') + host, kServerDomainValue);
        const QString named = domain && domain->type == platform::RegType::Sz ? domain->text.trimmed() : QString();
        listed.push_back({host, named.isEmpty() ? ownDomain : named});
    }
    return listed;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

QString workstationDomain() {
    const QString domain = WorkStationInfo().Domain();
    return domain.isEmpty() ? QStringLiteral("WORKGROUP") : domain;
}

QStringList RegistryServerDiscovery::domains(const QString& provider) {
    if (!sameName(provider, kWindowsNetworkProvider)) return {};
    const QString own = workstationDomain();
    QStringList names{own};
    for (const ListedServer& server : listedServers(own)) {
        const bool known = std::any_of(names.cbegin(), names.cend(),
                                       [&](const QString& name) { return sameName(name, server.domain); });
        if (!known) names << server.domain;
    }
    return names;
}

QStringList RegistryServerDiscovery::servers(const QString& domain) {
    const QString own = workstationDomain();
    const QString wanted = domain.trimmed().isEmpty() ? own : domain.trimmed();
    QStringList names;
    if (sameName(wanted, own)) names << WorkStationInfo().ComputerName();
    for (const ListedServer& server : listedServers(own))
        if (sameName(server.domain, wanted)) names << server.name;
    return names;
}
