#pragma once
// The administration program as a whole: connects to this machine's server,
// routes error reports to message boxes and opens the main window (or, with
// "Guestview" on the command line, only the guest view).
#include <QStringList>
#include <memory>

class frmMain;

class AdminApplication {
public:
    explicit AdminApplication(QStringList arguments);
    ~AdminApplication();
    // False when the program is to end at once (a fatal start-up check).
    bool start();
    frmMain* mainWindow() const { return m_main.get(); }

private:
    QStringList m_arguments;
    std::unique_ptr<frmMain> m_main;
};

// The error trap's report as the administration shows it.
QString adminErrorText(const QString& trapText);
