#include "admin/core/AdminEnv.h"

#include "admin/core/remote/ServerDiscovery.h"

AdminEnv::AdminEnv(std::shared_ptr<Prompt> prompt)
    : prompt(std::move(prompt)), discovery(std::make_shared<RegistryServerDiscovery>()) {}
AdminEnv::~AdminEnv() = default;

AdminEnv& adminEnv() {
    auto* installed = dynamic_cast<AdminEnv*>(&platform::env());
    if (!installed) qFatal("No administration environment is installed: the program's wiring must install an AdminEnv");
    return *installed;
}
