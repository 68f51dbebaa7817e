#include "host/ServiceHost.h"

#include <QCoreApplication>

#include "host/ErrorReport.h"
#include "platform/com/classregistry.h"
#include "platform/com/stalledlinks.h"
#include "platform/com/stoprequest.h"
#include "platform/scm/signalbridge.h"

using namespace platform::com;
using namespace platform::scm;

namespace {
// Dropped user codes are counted this long before they are reported.
constexpr int kDropReportDelayMs = 2000;
}  // namespace

ServiceHost::ServiceHost(CommandLine line, QObject* parent)
    : QObject(parent), m_line(std::move(line)), m_status(stateFilePath(m_line.progId.isEmpty() ? QStringLiteral("Vesselrun") : m_line.progId)) {
    m_serviceThread.setObjectName(QStringLiteral("service"));
    m_dropReport.setSingleShot(true);
    m_dropReport.setInterval(kDropReportDelayMs);
    connect(&m_dropReport, &QTimer::timeout, this, &ServiceHost::reportDroppedUserCodes);
}

ServiceHost::~ServiceHost() {
    if (m_serviceThread.isRunning()) {
        m_serviceThread.quit();
        m_serviceThread.wait();
    }
    delete m_serviceContext;
}

int ServiceHost::run() {
    SignalBridge bridge;
    connect(&bridge, &SignalBridge::controlRequested, this, &ServiceHost::handleControl);
    connect(&bridge, &SignalBridge::userCodesDropped, this, &ServiceHost::noteDroppedUserCodes);

    m_status.setControlsAccepted(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN);
    m_status.report(SERVICE_START_PENDING);
    m_serviceContext = new QObject;
    m_serviceContext->moveToThread(&m_serviceThread);
    {
        // Requests are for the main thread only, where they are taken in order.
        SignalBridge::ScopedBlock requestsStayOnThisThread;
        m_serviceThread.start();
    }

    bool started = false;
    QMetaObject::invokeMethod(m_serviceContext, [&] { started = startOnServiceThread(); }, Qt::BlockingQueuedConnection);
    if (!started) {
        m_serviceThread.quit();
        m_serviceThread.wait();
        return m_startStopped ? 0 : 1;
    }
    m_status.report(SERVICE_RUNNING);
    const int result = QCoreApplication::exec();
    reportDroppedUserCodes();
    return result == 0 ? m_exitStatus : 1;
}

void ServiceHost::noteDroppedUserCodes(int count) {
    // One report for a burst, however often the socket ran full during it.
    m_droppedUserCodes += count;
    if (!m_dropReport.isActive()) m_dropReport.start();
}

void ServiceHost::reportDroppedUserCodes() {
    m_dropReport.stop();
    if (m_droppedUserCodes == 0) return;
    reportError(QStringLiteral("%1 user control requests arrived faster than they could be handled and were dropped")
                    .arg(m_droppedUserCodes));
    m_droppedUserCodes = 0;
}

bool ServiceHost::startOnServiceThread() {
    if (m_line.progId.isEmpty()) {
        failStart(QStringLiteral("A ProgId for the ActiveX control to host must be specified"), std::nullopt, E_INVALIDARG);
        return false;
    }
    HRESULT hr = classIdFromProgId(m_line.progId, nullptr);
    if (failed(hr)) {
        failStart(QStringLiteral("Failed to convert the Prog ID to a class ID - make sure the ActiveX control is properly installed"),
                  hr, hr);
        return false;
    }
    CreatedService created = createService(m_line.progId);
    if (created.status.failed()) {
        if (!created.status.error.isEmpty()) setErrorInfo(created.status.error);
        hr = created.status.code;
        failStart(QStringLiteral("Failed to create IService instance - make sure the ActiveX control is properly installed"),
                  hr, hr);
        return false;
    }
    m_control = std::move(created.service);
    bool pausable = false;
    hr = m_control->get_Pausable(&pausable);
    if (failed(hr))
        reportError(QStringLiteral("GetPausable failed"), resultCode(hr));
    else if (pausable)
        m_status.setControlsAccepted(m_status.status().controlsAccepted | SERVICE_ACCEPT_PAUSE_CONTINUE);

    hr = m_control->OnStart(QVariant(m_line.arguments.isNull() ? QStringLiteral("") : m_line.arguments));
    if (failed(hr)) {
        reportError(QStringLiteral("OnStart failed"), resultCode(hr));
        m_control.reset();
        // A start given up because a stop came meanwhile ends as that stop: cleanly.
        m_startStopped = stopRequested();
        m_status.report(SERVICE_STOPPED, m_startStopped ? 0 : hr);
        return false;
    }
    return true;
}

void ServiceHost::failStart(const QString& message, std::optional<HRESULT> code, HRESULT exitCode) {
    reportError(message, code ? std::optional<ErrorCode>(resultCode(*code)) : std::nullopt);
    m_control.reset();
    m_status.report(SERVICE_STOPPED, exitCode);
}

void ServiceHost::releaseOnServiceThread() { m_control.reset(); }

HRESULT ServiceHost::callControl(const std::function<HRESULT(IService&)>& call) {
    HRESULT hr = E_UNEXPECTED;
    QString info;
    QMetaObject::invokeMethod(
        m_serviceContext,
        [&] {
            hr = m_control ? call(*m_control) : E_UNEXPECTED;
            info = takeErrorInfo();  // the control leaves it on its own thread
        },
        Qt::BlockingQueuedConnection);
    setErrorInfo(info);
    return hr;
}

void ServiceHost::handleControl(int code) {
    if (!m_control) return;
    if (m_shutDown) {
        // After a shutdown the control has been told; a later stop only ends the process.
        if (code == SERVICE_CONTROL_STOP) endService();
        return;
    }
    // Pause and continue reach only a control that takes them, as the
    // service manager refuses them for any other.
    const bool pauseOrContinue = code == SERVICE_CONTROL_PAUSE || code == SERVICE_CONTROL_CONTINUE;
    if (pauseOrContinue && !(m_status.status().controlsAccepted & SERVICE_ACCEPT_PAUSE_CONTINUE)) {
        m_status.resend();
        return;
    }
    switch (code) {
        case SERVICE_CONTROL_STOP:
            forwardStop(SERVICE_STOP_PENDING, "OnStop failed", [](IService& s) { return s.OnStop(); });
            endService();  // only after OnStop has returned
            break;
        case SERVICE_CONTROL_PAUSE:
            forward(SERVICE_PAUSE_PENDING, "OnPause failed", [](IService& s) { return s.OnPause(); });
            m_status.report(SERVICE_PAUSED);
            break;
        case SERVICE_CONTROL_CONTINUE:
            forward(SERVICE_CONTINUE_PENDING, "OnContinue failed", [](IService& s) { return s.OnContinue(); });
            m_status.report(SERVICE_RUNNING);
            break;
        case SERVICE_CONTROL_SHUTDOWN:
            forwardStop(SERVICE_STOP_PENDING, "OnShutdown failed", [](IService& s) { return s.OnShutdown(); });
            m_status.report(SERVICE_STOPPED);
            m_shutDown = true;
            break;
        case SERVICE_CONTROL_INTERROGATE:
            m_status.resend();
            break;
        default:
            forward(std::nullopt, "OnControl failed", [code](IService& s) { return s.OnControl(code); });
            m_status.resend();
            break;
    }
}

void ServiceHost::forward(std::optional<int> pending, const char* failure,
                          const std::function<HRESULT(IService&)>& call) {
    if (pending) m_status.report(*pending);
    const HRESULT hr = callControl(call);
    // A failing call is reported; the state after it is reported all the same.
    if (failed(hr)) reportError(QLatin1String(failure), resultCode(hr));
}

void ServiceHost::forwardStop(int pending, const char* failure, const std::function<HRESULT(IService&)>& call) {
    // The control takes a stop once the work at hand is done; a database
    // that stopped answering must not hold that up for its read time-out.
    platform::com::cutDatabaseLinksAfter(kStopGrace);
    forward(pending, failure, call);
    platform::com::stopTakenInTime();
}

void ServiceHost::endService() {
    // Events already queued on the service thread run before it ends.
    QMetaObject::invokeMethod(m_serviceContext, [this] { releaseOnServiceThread(); }, Qt::BlockingQueuedConnection);
    m_serviceThread.quit();
    m_serviceThread.wait();
    m_status.report(SERVICE_STOPPED);
    m_exitStatus = 0;
    QCoreApplication::quit();
}
