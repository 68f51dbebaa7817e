#pragma once
// The administration program as a whole: routes error reports to message boxes and opens the main window (or, with
// "Guestview" on the command line, only the guest view).
#include <QStringList>
#include <memory>

#include "admin/core/AdminEnv.h"
#include "admin/core/AdminState.h"

class frmMain;

class AdminApplication {
public:
    // Works in `env` (installed for the application's lifetime), which the
    // program's main has wired to this machine's server.
    AdminApplication(AdminEnv& env, QStringList arguments);
    ~AdminApplication();
    // False when the program is to end at once (a fatal start-up check).
    bool start();
    frmMain* mainWindow() const { return m_main.get(); }
    // What its windows share.
    AdminState& state() { return m_state; }

private:
    AdminEnv& m_env;
    platform::ScopedEnv m_installed;
    QStringList m_arguments;
    AdminState m_state;
    std::unique_ptr<frmMain> m_main;
};

// Names the running Qt application after the program and ties its windows to
// the launcher stavio-admin.desktop (its name and icon). It gives no display
// name, which the window system would add to every caption: the windows show
// the system's captions exactly.
void configureQtApplication();

// The error trap's report as the administration shows it.
QString adminErrorText(const QString& trapText);
// Shows the error trap's report: a message of the error kind.
void showErrorReport(const QString& trapText);
