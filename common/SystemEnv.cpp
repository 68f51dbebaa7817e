#include "common/SystemEnv.h"

#include "common/VoiceServerObjects.h"

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

SystemEnv& systemEnv() {
    auto* installed = dynamic_cast<SystemEnv*>(&platform::env());
    if (!installed) qFatal("No system environment is installed: the program's wiring must install a SystemEnv");
    return *installed;
}
