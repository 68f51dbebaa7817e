#include "common/ServiceState.h"

#include "common/SystemEnv.h"
#include "platform/modulepath.h"

QString ServiceState::componentFolder() const {
    if (!m_componentFolder.isEmpty()) return m_componentFolder;
    // This code is linked into the service's shared library, so the module
    // holding this function is the component itself.
    return platform::moduleFolder(reinterpret_cast<const void*>(&serviceState));
}

ServiceState& serviceState() { return systemEnv().service; }
