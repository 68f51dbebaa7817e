#include "common/modServices.h"

#include <QRegularExpression>

#include "common/SystemEnv.h"

#include "platform/registry.h"
#include "platform/scm/serviceinstaller.h"
#include "platform/scm/servicestatus.h"

namespace modServices {

namespace {

// An installed service run by the service host reports through its state file,
// named after the ProgID on its command line.
int hostedServiceState(const QString& serviceName) {
    try {
        const auto image = platform::machineRegistry().value(platform::scm::serviceKey(serviceName), QStringLiteral("ImagePath"));
        if (!image) return 0;
        static const QRegularExpression progId(QStringLiteral("progid=(\\S+)"), QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = progId.match(image->text);
        if (!m.hasMatch()) return 0;
        const auto status = platform::scm::readStatusFile(platform::scm::stateFilePath(m.captured(1)));
        // A host that was killed leaves its last state behind.
        return status ? platform::scm::currentState(*status) : platform::scm::SERVICE_STOPPED;
    } catch (const platform::RegistryError&) {
        return 0;
    }
}

}  // namespace

int getServiceState(const QString& serviceName) {
    const std::function<int()> source = systemEnv().serviceStateSource(serviceName);
    return source ? source() : hostedServiceState(serviceName);
}

}  // namespace modServices
