#pragma once
// "Find and Connect to Remote Voxaren Server": the domains of the network,
// the SQL servers of the chosen domain, and a test of the chosen server's
// VoxarenDb. Shown modally by the guest view when no working remote server
// is stored; a server that answers is left in the administration's
// voice-server connection string and the window closes.
#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
struct AdminState;

class frmRemoteConnection : public QDialog {
    Q_OBJECT
public:
    // A valid server's connection is left in `admin` (its voice-server connection).
    explicit frmRemoteConnection(AdminState& admin, QWidget* parent = nullptr);
    ~frmRemoteConnection() override;

    // Lists the domains and selects the first; false (after saying so) when
    // there is none: the program is to end.
    bool Form_Load();
    void cmdFindServers_Click();
    // Fills the server list with the servers of the domain.
    void refreshServers(const QString& domain = QString());
    void cmdConnect_Click();
    void cmdExit_Click();

    // Whether a server's connection was found valid (the window then closed).
    bool connected() const { return m_connected; }

private:
    AdminState& m_admin;
    bool m_connected = false;
    QLabel *lblDomain, *lblServers;
    QComboBox* cmbDomain;
    QListWidget* listSQLServers;
    QPushButton *cmdFindServers, *cmdConnect, *cmdExit;
};
