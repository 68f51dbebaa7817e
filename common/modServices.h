#pragma once
// The state of a service on this machine, as the service manager reports it
// (4 = running), or 0 when it cannot be told.
#include <QString>

namespace modServices {

int getServiceState(const QString& serviceName);

// The state file of an installed service run by the service host (named
// after the ProgID on its command line); "" when no such service is installed.
QString hostedServiceStateFile(const QString& serviceName);

// A service whose state someone other than the service manager knows (the
// voice-messaging server's database service) is answered by the source the
// environment holds for it (SystemEnv::setServiceStateSource).

}  // namespace modServices
