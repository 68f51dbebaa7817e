#pragma once
// Control requests arrive as signals; this turns them into Qt signals on the
// thread that made the bridge. The handler only records the request: one byte
// (the signal number) sent without blocking into a socket pair, read by a
// socket notifier in the event loop.
//   SIGTERM, SIGINT -> stop (1)    SIGUSR1 -> pause (2)   SIGUSR2 -> continue (3)
//   SIGPWR -> shutdown (5)         SIGRTMIN+n -> user code 128+n
//
// The bridged signals are blocked while one is handled, and other threads
// should block them too (ScopedBlock), so requests are taken one at a time,
// in the order they arrived. When the socket is full, a stop, a shutdown and
// the last pause or continue are kept aside and delivered after everything
// that came before them; user codes are dropped and counted.
// A stop (or shutdown) is also recorded at once in
// platform::com::stopRequestFlag(), where a control still busy starting up
// can see it.
#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace platform::scm {

class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    // Requests that arrive later are ignored (they no longer end the process).
    ~SignalBridge() override;

    // The control code a signal stands for, or 0.
    static int controlCodeFor(int signalNumber);

    // Blocks the bridged signals in the calling thread for its lifetime;
    // threads started meanwhile inherit that, leaving requests to the bridge's
    // thread.
    class ScopedBlock {
    public:
        ScopedBlock();
        ~ScopedBlock();
        ScopedBlock(const ScopedBlock&) = delete;
        ScopedBlock& operator=(const ScopedBlock&) = delete;

    private:
        sigset_t m_previous;
    };

signals:
    void controlRequested(int controlCode);
    // User codes that came while the socket was full and were not delivered.
    void userCodesDropped(int count);

private:
    void readPending();
    void deliverKeptAside();
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace platform::scm
