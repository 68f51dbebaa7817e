#pragma once
// The interface between a service host and the control it runs: the host
// calls these on the control's own thread, one at a time.
#include <QVariant>

#include "platform/com/hresult.h"

namespace platform::com {

class IService {
public:
    static constexpr const char* IID = "{06DC0030-0F18-11D4-852F-444553540000}";

    virtual ~IService() = default;
    virtual HRESULT get_Pausable(bool* pausable) = 0;
    // `arguments` holds the text given to the host as "arguments=".
    virtual HRESULT OnStart(const QVariant& arguments) = 0;
    virtual HRESULT OnStop() = 0;
    virtual HRESULT OnPause() = 0;
    virtual HRESULT OnContinue() = 0;
    virtual HRESULT OnControl(std::int32_t opCode) = 0;
    virtual HRESULT OnShutdown() = 0;
};

// What a plug-in exports: a factory that makes a control for an interface id
// (nullptr for an interface it does not have), and its self-registration.
extern "C" {
using CreateControlFunction = IService* (*)(const char* iid);
using RegisterFunction = HRESULT (*)();
}
inline constexpr const char* kRegisterSymbol = "DllRegisterServer";
inline constexpr const char* kUnregisterSymbol = "DllUnregisterServer";

}  // namespace platform::com
