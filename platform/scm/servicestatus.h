#pragma once
// A running service's status as the service manager knows it: reported to
// systemd (sd_notify, when NOTIFY_SOCKET is set) and always written to a
// state file that other programs read.
#include <QByteArray>
#include <QString>
#include <optional>

namespace platform::scm {

enum ServiceState : int {
    SERVICE_STOPPED = 1,
    SERVICE_START_PENDING = 2,
    SERVICE_STOP_PENDING = 3,
    SERVICE_RUNNING = 4,
    SERVICE_CONTINUE_PENDING = 5,
    SERVICE_PAUSE_PENDING = 6,
    SERVICE_PAUSED = 7,
};

enum ControlsAccepted : int { SERVICE_ACCEPT_STOP = 1, SERVICE_ACCEPT_PAUSE_CONTINUE = 2, SERVICE_ACCEPT_SHUTDOWN = 4 };

// Control codes of requests to a service.
enum ControlCode : int {
    SERVICE_CONTROL_STOP = 1,
    SERVICE_CONTROL_PAUSE = 2,
    SERVICE_CONTROL_CONTINUE = 3,
    SERVICE_CONTROL_INTERROGATE = 4,
    SERVICE_CONTROL_SHUTDOWN = 5,
};

struct ServiceStatus {
    int state = SERVICE_STOPPED;
    int controlsAccepted = 0;
    int exitCode = 0;
    qint64 processId = 0;  // of the host that wrote it; 0 when not known
};

// Where state files live, for the hosts that write them and the programs that
// read them alike: env VESSELRUN_STATE_DIR, else /run/vesselrun (the runtime
// directory of installed units).
QString stateDirectory();  // the installed environment's
QString defaultStateDirectory();  // env VESSELRUN_STATE_DIR, else /run/vesselrun
// The state file of a service identified by `id` (the control's ProgID).
QString stateFilePath(const QString& id);

class StatusReporter {
public:
    explicit StatusReporter(QString stateFile);

    // Sets the state (and exit code) and sends the whole record.
    void report(int state, int exitCode = 0);
    // Sends the current record again.
    void resend();
    void setControlsAccepted(int controls) { m_status.controlsAccepted = controls; }
    const ServiceStatus& status() const { return m_status; }

private:
    void send();

    QString m_stateFile;
    ServiceStatus m_status;
    bool m_readySent = false;
    QByteArray m_written;  // what the state file holds
};

// Reads a state file ("STATE=n", "CONTROLS=n", "EXIT_CODE=n", "PID=n" lines).
std::optional<ServiceStatus> readStatusFile(const QString& path);

// The state a record stands for now: stopped when the host that wrote it has
// ended without saying so (killed), else the state it wrote.
int currentState(const ServiceStatus& status);

}  // namespace platform::scm
