#pragma once
// Starting and stopping the Stavio service through the service manager
// ("systemctl start|stop OrvantaVoxarenStavio"), waiting up to 30 s.
#include <QString>

inline constexpr const char* kStavioServiceName = "OrvantaVoxarenStavio";

enum class ServiceCommand { Start, Stop };

struct ServiceCommandOutcome {
    enum class Status {
        Done,       // the service manager did it
        TimedOut,   // still at it after the wait (it goes on without us)
        Failed,     // the service manager refused or failed (exitCode says how)
        NotRun,     // the service manager could not be run
    };
    Status status = Status::NotRun;
    int exitCode = -1;
    QString errorOutput;  // the service manager's own words (Failed)
    // As the settings window takes it: a service manager still at it after
    // the wait is taken as having done it.
    bool tookEffect() const { return status == Status::Done || status == Status::TimedOut; }
};

ServiceCommandOutcome controlService(ServiceCommand command);

// The command line that was run, for messages: "systemctl start OrvantaVoxarenStavio".
QString serviceCommandLine(ServiceCommand command);

// Why a command that was not Done did not do it, the service manager's own
// words included: "'systemctl start OrvantaVoxarenStavio' ended with exit
// status 1: Failed to start OrvantaVoxarenStavio.service: Access denied".
QString serviceCommandProblem(ServiceCommand command, const ServiceCommandOutcome& outcome);
