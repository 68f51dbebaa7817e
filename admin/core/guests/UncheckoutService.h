#pragma once
// An un-checkout while the Stavio service runs: what the service will do to
// the room, told to the administrator before anything changes.
//
//   PMS shows the room vacant    the service's next sweep checks the restored
//                                guest out again
//   PMS shows the room occupied  between the check-out of the room's guest and
//                                the restore the service may give the room a
//                                new mailbox, and the restore then fails; the
//                                service is stopped for the un-checkout and
//                                started again after it
//   PMS row cannot be read       what the service will do cannot be told
#include <QString>
#include <functional>

#include "admin/core/Prompt.h"

struct AdminState;

class UncheckoutService {
public:
    enum class Forecast { NotRunning, ChecksOutAgain, RacesTheRestore, Unknown };

    // Reads the service's state and, when it runs, the room's PMS row; logs
    // its steps in the administration's log and tells its failures.
    UncheckoutService(const AdminState& admin, const QString& room, Tell tell);
    // Starts the service again when this stopped it (see resume).
    ~UncheckoutService();
    UncheckoutService(const UncheckoutService&) = delete;
    UncheckoutService& operator=(const UncheckoutService&) = delete;

    Forecast forecast() const { return m_forecast; }
    // Asks the administrator whether to go on, as the forecast says; true to
    // go on. With RacesTheRestore, going on stops the service first: false
    // (and the service manager's reason shown) when it would not stop.
    bool agreed(const std::function<bool(const QString& text, const QString& title)>& confirm);
    // Starts the service again if it was stopped for the un-checkout; a
    // failure is shown with the service manager's reason.
    void resume();

private:
    const AdminState& m_admin;
    Tell m_tell;
    QString m_room;
    Forecast m_forecast = Forecast::NotRunning;
    bool m_stopped = false;
};
