#include "platform/scm/signalbridge.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

namespace platform::scm {

namespace {

int pipeFds[2] = {-1, -1};

void onSignal(int signalNumber) {
    const int saved = errno;
    const ssize_t written = ::write(pipeFds[0], &signalNumber, sizeof signalNumber);
    (void)written;
    errno = saved;
}

QList<int> handledSignals() {
    QList<int> handled{SIGTERM, SIGINT, SIGUSR1, SIGUSR2, SIGPWR};
    for (int n = 0; n < 128 && SIGRTMIN + n <= SIGRTMAX; ++n) handled << SIGRTMIN + n;
    return handled;
}

}  // namespace

int SignalBridge::controlCodeFor(int signalNumber) {
    switch (signalNumber) {
        case SIGTERM:
        case SIGINT: return 1;
        case SIGUSR1: return 2;
        case SIGUSR2: return 3;
        case SIGPWR: return 5;
        default: break;
    }
    if (signalNumber >= SIGRTMIN && signalNumber <= SIGRTMAX) return 128 + (signalNumber - SIGRTMIN);
    return 0;
}

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0) return;
    m_notifier = new QSocketNotifier(pipeFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalBridge::readPending);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : handledSignals()) sigaction(s, &action, nullptr);
}

SignalBridge::~SignalBridge() {
    for (int s : handledSignals()) std::signal(s, SIG_DFL);
    delete m_notifier;
    for (int& fd : pipeFds) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void SignalBridge::readPending() {
    int signalNumber = 0;
    if (::read(pipeFds[1], &signalNumber, sizeof signalNumber) != sizeof signalNumber) return;
    const int code = controlCodeFor(signalNumber);
    if (code != 0) emit controlRequested(code);
}

}  // namespace platform::scm
