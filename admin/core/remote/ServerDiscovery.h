#pragma once
// Finding the voice-messaging servers of the network: the domains
// (workgroups) a network provider offers, and the SQL servers that announce
// themselves in a domain. The administration reaches them through its
// environment's discovery (AdminEnv::discovery); tests give their own.
#include <QString>
#include <QStringList>

class ServerDiscovery {
public:
    virtual ~ServerDiscovery() = default;
    // The names of the domains that the network provider of that name offers,
    // in its order. Raises platform::Error when the network cannot be asked.
    virtual QStringList domains(const QString& provider) = 0;
    // The names of the SQL servers in the domain ("" is the workstation's own
    // domain). Raises platform::Error when the network cannot be asked.
    virtual QStringList servers(const QString& domain) = 0;
};

// The network as the registry store describes it, plus this machine:
//
//   SOFTWARE\Brightkeel\Corevane\1.0\Servers\<HOST>   "Domain" (REG_SZ): the
//       domain HOST lies in; without it, the workstation's own domain.
//
// This machine lies in the workstation's domain: its DNS (or NIS) domain, else
// "WORKGROUP". The domains are the workstation's first, then the others in the
// order their first server was listed; a domain's servers are this machine
// (in the workstation's domain) followed by the listed hosts, in the order
// they were listed. Names of domains are compared without regard to case. The
// only network provider is "Microsoft Windows Network".
class RegistryServerDiscovery : public ServerDiscovery {
public:
    QStringList domains(const QString& provider) override;
    QStringList servers(const QString& domain) override;
};

// The key under which other machines' servers are listed.
inline const QString kListedServersKey = QStringLiteral("SOFTWARE\\Brightkeel\\Corevane\\1.0\\Servers");
// The value of a listed server that names its domain.
inline const QString kServerDomainValue = QStringLiteral("Domain");
// The network provider whose domains the remote-connection window lists.
inline const QString kWindowsNetworkProvider = QStringLiteral("Microsoft Windows Network");

// The workstation's domain as discovery names it.
QString workstationDomain();
