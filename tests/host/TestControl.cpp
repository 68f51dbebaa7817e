// A control for testing the host: it records every call it receives in the
// file named by TESTCONTROL_LOG and fails the calls named in TESTCONTROL_FAIL
// (comma-separated: pausable, start, stop, pause, continue, control, shutdown).
// With TESTCONTROL_START_WAIT set, OnStart keeps the start pending (20 s at
// most) until the host has been asked to stop, then fails.
#include <QFile>
#include <QStringList>

#include "platform/clock.h"
#include "platform/com/classregistry.h"
#include "platform/com/iservice.h"
#include "platform/com/stoprequest.h"
#include "platform/modulepath.h"

using namespace platform::com;

namespace {

class TestControl : public IService {
public:
    HRESULT get_Pausable(bool* pausable) override {
        if (record(QStringLiteral("Pausable"), "pausable")) return E_FAIL;
        *pausable = true;
        return S_OK;
    }
    HRESULT OnStart(const QVariant& arguments) override {
        if (record(QStringLiteral("OnStart ") + arguments.toString(), "start")) {
            setErrorInfo(QStringLiteral("the test control refused to start"));
            return controlError(1001);
        }
        if (qEnvironmentVariableIsSet("TESTCONTROL_START_WAIT")) {
            for (int waited = 0; waited < 20000 && !stopRequested(); waited += 20) platform::clock().sleepMs(20);
            record(stopRequested() ? QStringLiteral("Start abandoned") : QStringLiteral("Start gave up waiting"), "");
            setErrorInfo(QStringLiteral("the test control gave up its start"));
            return controlError(1004);
        }
        return S_OK;
    }
    HRESULT OnStop() override { return record(QStringLiteral("OnStop"), "stop") ? E_FAIL : S_OK; }
    HRESULT OnPause() override { return record(QStringLiteral("OnPause"), "pause") ? E_FAIL : S_OK; }
    HRESULT OnContinue() override { return record(QStringLiteral("OnContinue"), "continue") ? E_FAIL : S_OK; }
    HRESULT OnControl(std::int32_t code) override {
        return record(QStringLiteral("OnControl %1").arg(code), "control") ? E_FAIL : S_OK;
    }
    HRESULT OnShutdown() override { return record(QStringLiteral("OnShutdown"), "shutdown") ? E_FAIL : S_OK; }
    ~TestControl() override { record(QStringLiteral("Released"), ""); }

private:
    // Writes the call and tells whether it is to fail.
    static bool record(const QString& call, const char* failName) {
        QFile log(qEnvironmentVariable("TESTCONTROL_LOG"));
        if (log.open(QIODevice::WriteOnly | QIODevice::Append)) log.write(call.toUtf8() + '\n');
        return *failName && qEnvironmentVariable("TESTCONTROL_FAIL").split(QLatin1Char(',')).contains(QLatin1String(failName));
    }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) IService* CreateTestControl(const char* iid) {
    return QLatin1String(iid) == QLatin1String(IService::IID) ? new TestControl : nullptr;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {
    const auto self = reinterpret_cast<const void*>(&CreateTestControl);
    return registerClass({QStringLiteral("Vesselrun.TestControl"), QStringLiteral("{5B0C9B1E-4E0A-4C55-9A51-7D3C2E0B8F11}"),
                          platform::moduleFolder(self) + QLatin1Char('/') + platform::moduleFileName(self),
                          QStringLiteral("CreateTestControl")});
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
    return unregisterClass(QStringLiteral("Vesselrun.TestControl"));
}
