#include "common/modServices.h"

#include <QRegularExpression>

#include "common/SystemEnv.h"

#include "platform/registry.h"
#include "platform/scm/serviceinstaller.h"
#include "platform/scm/servicestatus.h"

namespace modServices {

namespace {

// An installed service run by the service host reports through its state file.
int hostedServiceState(const QString& serviceName) {
    const QString file = hostedServiceStateFile(serviceName);
    if (file.isEmpty()) return 0;
    const auto status = platform::scm::readStatusFile(file);
    // A host that was killed leaves its last state behind.
    return status ? platform::scm::currentState(*status) : platform::scm::SERVICE_STOPPED;
}

}  // namespace

QString hostedServiceStateFile(const QString& serviceName) {
    try {
        const auto image = platform::machineRegistry().value(platform::scm::serviceKey(serviceName), QStringLiteral("ImagePath"));
        if (!image) return QString();
        static const QRegularExpression progId(QStringLiteral("progid=(\\S+)"), QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = progId.match(image->text);
        return m.hasMatch() ? platform::scm::stateFilePath(m.captured(1)) : QString();
    } catch (const platform::RegistryError&) {
        return QString();
    }
}

int getServiceState(const QString& serviceName) {
    const std::function<int()> source = systemEnv().serviceStateSource(serviceName);
    return source ? source() : hostedServiceState(serviceName);
}

}  // namespace modServices
