#pragma once
// Control requests arrive as signals; this turns them into Qt signals on the
// thread that made the bridge. The handler only writes the signal number to
// a socket pair; a socket notifier reads it in the event loop.
//   SIGTERM, SIGINT -> stop (1)    SIGUSR1 -> pause (2)   SIGUSR2 -> continue (3)
//   SIGPWR -> shutdown (5)         SIGRTMIN+n -> user code 128+n
#include <QObject>

class QSocketNotifier;

namespace platform::scm {

class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

    // The control code a signal stands for, or 0.
    static int controlCodeFor(int signalNumber);

signals:
    void controlRequested(int controlCode);

private:
    void readPending();
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace platform::scm
