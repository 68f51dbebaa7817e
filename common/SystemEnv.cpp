#include "common/SystemEnv.h"

#include "common/VoiceServerObjects.h"
#include "platform/modulepath.h"

SystemEnv::SystemEnv() = default;
SystemEnv::~SystemEnv() = default;

void SystemEnv::setServiceStateSource(const QString& serviceName, std::function<int()> source) {
    if (source)
        m_stateSources.insert(serviceName.toUpper(), std::move(source));
    else
        m_stateSources.remove(serviceName.toUpper());
}

std::function<int()> SystemEnv::serviceStateSource(const QString& serviceName) const {
    return m_stateSources.value(serviceName.toUpper());
}

QString SystemEnv::componentFolder() const {
    if (!m_componentFolder.isEmpty()) return m_componentFolder;
    // This code is linked into the service's shared library, so the module
    // holding this function is the component itself.
    return platform::moduleFolder(reinterpret_cast<const void*>(&systemEnv));
}

SystemEnv& systemEnv() {
    auto* installed = dynamic_cast<SystemEnv*>(&platform::env());
    if (!installed) qFatal("No system environment is installed: the program's wiring must install a SystemEnv");
    return *installed;
}
