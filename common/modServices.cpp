#include "common/modServices.h"

#include "common/SystemEnv.h"

#include "platform/registry.h"
#include "platform/scm/serviceinstaller.h"
#include "platform/scm/servicestatus.h"

namespace modServices {

QString hostedServiceStateFile(const QString& serviceName) { return platform::scm::hostedServiceStateFile(serviceName); }

int getServiceState(const QString& serviceName) {
    const std::function<int()> source = systemEnv().serviceStateSource(serviceName);
    return source ? source() : platform::scm::hostedServiceState(serviceName);
}

}  // namespace modServices
