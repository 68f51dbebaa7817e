#include "admin/windows/frmRemoteConnection.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "admin/core/remote/RemoteServers.h"
#include "admin/core/remote/ServerDiscovery.h"
#include "admin/localize/LoadedWindows.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/WidgetHelpers.h"
#include "common/ErrorTrap.h"

using Kind = Prompt::Kind;

namespace {

// Sizes in twips.
constexpr int kMinWidth = 5400;
constexpr int kListHeight = 2400;

}  // namespace

frmRemoteConnection::frmRemoteConnection(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRemoteConnection"));
    setWindowTitle(QStringLiteral("Find and Connect to Remote Voxaren Server"));
    lblDomain = named(new QLabel(QStringLiteral("&Domain:"), this), "lblDomain");
    cmbDomain = named(new QComboBox(this), "cmbDomain");
    cmdFindServers = named(new QPushButton(QStringLiteral("Find &Servers"), this), "cmdFindServers");
    lblServers = named(new QLabel(QStringLiteral("SQL servers in domain:"), this), "lblServers");
    listSQLServers = named(new QListWidget(this), "listSQLServers");
    cmdConnect = named(new QPushButton(QStringLiteral("&Connect"), this), "cmdConnect");
    cmdExit = named(new QPushButton(QStringLiteral("E&xit"), this), "cmdExit");
    lblDomain->setBuddy(cmbDomain);
    lblServers->setBuddy(listSQLServers);
    listSQLServers->setMinimumHeight(twips(kListHeight));
    cmdConnect->setDefault(true);
    cmdFindServers->setAutoDefault(false);
    cmdExit->setAutoDefault(false);
    connect(cmdFindServers, &QPushButton::clicked, this, &frmRemoteConnection::cmdFindServers_Click);
    connect(cmdConnect, &QPushButton::clicked, this, &frmRemoteConnection::cmdConnect_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmRemoteConnection::cmdExit_Click);
    connect(listSQLServers, &QListWidget::itemDoubleClicked, this, &frmRemoteConnection::cmdConnect_Click);

    auto* domain = new QHBoxLayout;
    domain->addWidget(lblDomain);
    domain->addWidget(cmbDomain, 1);
    domain->addWidget(cmdFindServers);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdConnect);
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(domain);
    layout->addWidget(lblServers);
    layout->addWidget(listSQLServers, 1);
    layout->addLayout(buttons);
    setMinimumWidth(twips(kMinWidth));
}

frmRemoteConnection::~frmRemoteConnection() = default;

bool frmRemoteConnection::Form_Load() {
    const QStringList domains = ListDomains(kWindowsNetworkProvider);
    cmbDomain->clear();
    cmbDomain->addItems(domains);
    listSQLServers->clear();
    if (domains.isEmpty()) {
        prompt().message(QStringLiteral("No Windows domain found on the network!  Exiting..."), this, Kind::Error);
        return false;
    }
    cmbDomain->setCurrentIndex(0);
    return true;
}

void frmRemoteConnection::cmdFindServers_Click() { refreshServers(cmbDomain->currentText()); }

void frmRemoteConnection::refreshServers(const QString& domain) {
    ErrorTrap trap("refreshServers", "Form", "frmMain");
    QStringList servers;
    {
        BusyCursor busy;
        servers = getServers(domain);
        listSQLServers->clear();
        trap.step([&] { listSQLServers->addItems(servers); });
    }
    if (servers.isEmpty())
        prompt().message(QStringLiteral("No SQL servers found in the selected domain"), this, Kind::Information);
}

void frmRemoteConnection::cmdConnect_Click() {
    const QList<QListWidgetItem*> chosen = listSQLServers->selectedItems();
    if (listSQLServers->count() == 0 || chosen.isEmpty()) {
        prompt().message(QStringLiteral("No server selected"), this, Kind::Warning);
        return;
    }
    const QString server = chosen.first()->text();
    ServerConnectionTest test;
    {
        BusyCursor busy;
        adminState().voiceServerConnection = remoteVoiceServerConnection(server);
        test = testServerConnection(adminState().voiceServerConnection);
    }
    switch (test.outcome) {
        case ServerConnectionTest::Outcome::Valid:
            prompt().message(QStringLiteral("Voxaren server connection valid"), this);
            m_connected = true;
            accept();
            return;
        case ServerConnectionTest::Outcome::Refused:
            prompt().message(server + QStringLiteral(" does not appear to be a Voxaren server or you do not have rights "
                                                     "to log into VoxarenDB on that server"),
                             this, Kind::Warning);
            return;
        case ServerConnectionTest::Outcome::Failed:
            // The server did not answer as one should: the window stays for another choice.
            prompt().message(QStringLiteral("Error in cmdConnect: ") + test.description, this, Kind::Error);
            return;
    }
}

void frmRemoteConnection::cmdExit_Click() { reject(); }
