#include "admin/core/AdminEnv.h"

#include <QCoreApplication>

#include "admin/core/remote/ServerDiscovery.h"

AdminEnv::AdminEnv(std::shared_ptr<Prompt> prompt)
    : prompt(std::move(prompt)), discovery(std::make_shared<RegistryServerDiscovery>()) {}
AdminEnv::~AdminEnv() = default;

QString AdminEnv::programFolder() const {
    return m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
}

AdminEnv& adminEnv() {
    auto* installed = dynamic_cast<AdminEnv*>(&platform::env());
    if (!installed) qFatal("No administration environment is installed: the program's wiring must install an AdminEnv");
    return *installed;
}
