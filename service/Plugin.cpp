// The control's plug-in entry points: the factory the service host calls to
// create the control, and the self-registration that records its ProgID.
#include "platform/com/classregistry.h"
#include "platform/modulepath.h"
#include "sim/voxaren/ServerAccess.h"
#include "service/Stavio.h"

using namespace platform::com;

namespace {
constexpr const char* kProgId = "OrvantaVoxarenStavio.Stavio";
constexpr const char* kClassId = "{3F2A8C71-5D4B-4E0F-9C2A-6B1D7E4F8A93}";
constexpr const char* kFactory = "CreateStavioControl";
}  // namespace

// The control's environment is wired here: the machine's real services and
// this machine's voice-messaging server.
extern "C" __attribute__((visibility("default"))) IService* CreateStavioControl(const char* iid) {
    if (QLatin1String(iid) != QLatin1String(IService::IID)) return nullptr;
    auto env = std::make_shared<SystemEnv>();
    voxaren::installServerAccess(*env);
    return new Stavio(env, std::make_shared<QtTimerFactory>());
}

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {
    const auto self = reinterpret_cast<const void*>(&CreateStavioControl);
    return registerClass({QLatin1String(kProgId), QLatin1String(kClassId),
                          platform::moduleFolder(self) + QLatin1Char('/') + platform::moduleFileName(self),
                          QLatin1String(kFactory)});
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
    return unregisterClass(QLatin1String(kProgId));
}
