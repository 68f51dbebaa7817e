#include "platform/scm/signalbridge.h"

#include <pthread.h>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

#include "platform/com/stoprequest.h"
#include "platform/scm/servicestatus.h"

namespace platform::scm {

namespace {

// Everything the handler touches: lock-free atomics, plain ints and send().
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
std::atomic<int> writeEnd{-1};
int readEnd = -1;
const int rtMin = SIGRTMIN;
const int rtMax = SIGRTMAX;
std::atomic<bool>* stopFlag = nullptr;

// Set when a byte did not fit: from then on requests are kept aside (not sent)
// until the reader has emptied the socket, so they follow all that it holds.
std::atomic<bool> overflowing{false};
std::atomic<bool> keptStop{false};
std::atomic<bool> keptShutdown{false};
std::atomic<int> keptPauseOrContinue{0};  // only the last one counts
std::atomic<int> droppedUserCodes{0};

// Sent after something was kept aside, so the reader looks even if it had just
// emptied the socket; it stands for no request.
constexpr char kWake = 0;

int codeFor(int signalNumber) {
    switch (signalNumber) {
        case SIGTERM:
        case SIGINT: return SERVICE_CONTROL_STOP;
        case SIGUSR1: return SERVICE_CONTROL_PAUSE;
        case SIGUSR2: return SERVICE_CONTROL_CONTINUE;
        case SIGPWR: return SERVICE_CONTROL_SHUTDOWN;
        default: break;
    }
    if (signalNumber >= rtMin && signalNumber <= rtMax && signalNumber - rtMin < 128) return 128 + (signalNumber - rtMin);
    return 0;
}

void keepAside(int code) {
    switch (code) {
        case SERVICE_CONTROL_STOP: keptStop.store(true); break;
        case SERVICE_CONTROL_SHUTDOWN: keptShutdown.store(true); break;
        case SERVICE_CONTROL_PAUSE:
        case SERVICE_CONTROL_CONTINUE: keptPauseOrContinue.store(code); break;
        default: droppedUserCodes.fetch_add(1); break;
    }
}

bool sendByte(int fd, char byte) { return ::send(fd, &byte, 1, MSG_DONTWAIT | MSG_NOSIGNAL) == 1; }

void onSignal(int signalNumber) {
    const int saved = errno;
    const int code = codeFor(signalNumber);
    if ((code == SERVICE_CONTROL_STOP || code == SERVICE_CONTROL_SHUTDOWN) && stopFlag) stopFlag->store(true);
    const int fd = writeEnd.load();
    if (fd >= 0 && code != 0) {
        if (overflowing.load() || !sendByte(fd, char(signalNumber))) {
            overflowing.store(true);
            keepAside(code);
            sendByte(fd, kWake);
        }
    }
    errno = saved;
}

sigset_t bridgedSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2, SIGPWR}) sigaddset(&set, s);
    for (int s = SIGRTMIN; s <= SIGRTMAX && s - SIGRTMIN < 128; ++s) sigaddset(&set, s);
    return set;
}

}  // namespace

int SignalBridge::controlCodeFor(int signalNumber) { return codeFor(signalNumber); }

SignalBridge::ScopedBlock::ScopedBlock() {
    const sigset_t set = bridgedSignals();
    pthread_sigmask(SIG_BLOCK, &set, &m_previous);
}

SignalBridge::ScopedBlock::~ScopedBlock() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
    stopFlag = &com::stopRequestFlag();
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) return;
    overflowing.store(false);
    keptStop.store(false);
    keptShutdown.store(false);
    keptPauseOrContinue.store(0);
    droppedUserCodes.store(0);
    readEnd = fds[1];
    writeEnd.store(fds[0]);
    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalBridge::readPending);

    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_mask = bridgedSignals();  // no handler interrupts another: the order stays
    action.sa_flags = SA_RESTART;
    const sigset_t set = bridgedSignals();
    for (int s = 1; s < NSIG; ++s)
        if (sigismember(&set, s) == 1) sigaction(s, &action, nullptr);
    // A hang-up (a closed terminal, `systemctl kill -s HUP`) asks for nothing:
    // its default action would end the service and leave its state file
    // saying it runs. The settings are read anew before every sweep anyway.
    ::signal(SIGHUP, SIG_IGN);
}

SignalBridge::~SignalBridge() {
    // The handlers stay: put back, the default action of a late signal would
    // end a process that has already stopped cleanly. Without the socket they
    // only note a stop.
    ScopedBlock block;
    const int fd = writeEnd.exchange(-1);
    delete m_notifier;
    m_notifier = nullptr;
    if (fd >= 0) ::close(fd);
    if (readEnd >= 0) ::close(readEnd);
    readEnd = -1;
}

void SignalBridge::readPending() {
    char buffer[256];
    for (;;) {
        const ssize_t n = ::recv(readEnd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i)
            if (const int code = codeFor(static_cast<unsigned char>(buffer[i]))) emit controlRequested(code);
    }
    deliverKeptAside();
}

void SignalBridge::deliverKeptAside() {
    // The socket is empty: what was kept aside came after all it held. Requests
    // from now on go to the socket again, behind these.
    overflowing.store(false);
    const int pauseOrContinue = keptPauseOrContinue.exchange(0);
    const bool shutdown = keptShutdown.exchange(false);
    const bool stop = keptStop.exchange(false);
    const int dropped = droppedUserCodes.exchange(0);
    if (dropped > 0) emit userCodesDropped(dropped);
    if (pauseOrContinue != 0) emit controlRequested(pauseOrContinue);
    if (shutdown) emit controlRequested(SERVICE_CONTROL_SHUTDOWN);
    if (stop) emit controlRequested(SERVICE_CONTROL_STOP);
}

}  // namespace platform::scm
