#pragma once
// Run mode: the control lives on a service thread with its own event loop
// (its timers and calls run there, one at a time); control requests arrive as
// signals on the main thread and are forwarded to the control on its thread,
// the host waiting for each call, with the state reported around it.
#include <QObject>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

#include "host/CommandLine.h"
#include "platform/com/iservice.h"
#include "platform/scm/servicestatus.h"

class ServiceHost : public QObject {
    Q_OBJECT
public:
    explicit ServiceHost(CommandLine line, QObject* parent = nullptr);
    ~ServiceHost() override;

    // Starts the control and serves requests until it stops; the exit status.
    int run();

    // Forwards one control request (as a signal would).
    void handleControl(int controlCode);

private:
    // Steps of the service main that run on the service thread.
    bool startOnServiceThread();
    void releaseOnServiceThread();
    platform::com::HRESULT callControl(const std::function<platform::com::HRESULT(platform::com::IService&)>& call);
    // One request: the pending state, the call on the service thread, its failure reported.
    void forward(std::optional<int> pending, const char* failure,
                 const std::function<platform::com::HRESULT(platform::com::IService&)>& call);
    // A stop or shutdown: as forward, cutting database links still waited on after kStopGrace.
    void forwardStop(int pending, const char* failure,
                     const std::function<platform::com::HRESULT(platform::com::IService&)>& call);
    static constexpr std::chrono::milliseconds kStopGrace{3000};
    void failStart(const QString& message, std::optional<platform::com::HRESULT> code, platform::com::HRESULT exitCode);
    void endService();
    void noteDroppedUserCodes(int count);
    void reportDroppedUserCodes();

    CommandLine m_line;
    platform::scm::StatusReporter m_status;
    QThread m_serviceThread;
    QObject* m_serviceContext = nullptr;  // lives on the service thread
    std::unique_ptr<platform::com::IService> m_control;
    bool m_shutDown = false;
    bool m_startStopped = false;  // the start failed after a stop was requested
    int m_droppedUserCodes = 0;   // not reported yet
    QTimer m_dropReport;
    int m_exitStatus = 0;
};
