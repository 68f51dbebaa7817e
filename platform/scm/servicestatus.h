#pragma once
// A running service's status as the service manager knows it: reported to
// systemd (sd_notify, when NOTIFY_SOCKET is set) and always written to a
// state file that other programs read.
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
};

// Where state files live: env VESSELRUN_STATE_DIR, else $RUNTIME_DIRECTORY,
// else /run/vesselrun.
QString stateDirectory();
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
};

// Reads a state file ("STATE=n", "CONTROLS=n", "EXIT_CODE=n" lines).
std::optional<ServiceStatus> readStatusFile(const QString& path);

}  // namespace platform::scm
