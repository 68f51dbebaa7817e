#include "admin/AdminEnv.h"

AdminEnv::AdminEnv() : prompt(dialogPrompt()) {}
AdminEnv::~AdminEnv() = default;

AdminEnv& adminEnv() {
    auto* installed = dynamic_cast<AdminEnv*>(&platform::env());
    if (!installed) qFatal("No administration environment is installed: the program's wiring must install an AdminEnv");
    return *installed;
}
