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
#include "admin/core/localize/LanguageStrings.h"
#include "admin/core/remote/RemoteServers.h"
#include "admin/core/remote/ServerDiscovery.h"
#include "admin/localize/LoadedWindows.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/WidgetHelpers.h"
#include "common/ErrorTrap.h"

using Kind = Prompt::Kind;

namespace {

// The window lives while it is asked: it takes the language in force.
QString res(int id) { return modLocalize::myLoadResString(id); }

// Sizes in twips.
constexpr int kMinWidth = 5400;
constexpr int kListHeight = 2400;

}  // namespace

frmRemoteConnection::frmRemoteConnection(AdminState& admin, QWidget* parent)
    : QDialog(parent), m_admin(admin) {
    setObjectName(QStringLiteral("frmRemoteConnection"));
    setWindowTitle(res(1159));
    lblDomain = named(new QLabel(res(1160), this), "lblDomain");
    cmbDomain = named(new QComboBox(this), "cmbDomain");
    cmdFindServers = named(new QPushButton(res(1161), this), "cmdFindServers");
    lblServers = named(new QLabel(res(1162), this), "lblServers");
    listSQLServers = named(new QListWidget(this), "listSQLServers");
    cmdConnect = named(new QPushButton(res(1163), this), "cmdConnect");
    cmdExit = named(new QPushButton(res(1049), this), "cmdExit");
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
        prompt().message(res(1164), this, Kind::Error);
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
        prompt().message(res(1165), this, Kind::Information);
}

void frmRemoteConnection::cmdConnect_Click() {
    const QList<QListWidgetItem*> chosen = listSQLServers->selectedItems();
    if (listSQLServers->count() == 0 || chosen.isEmpty()) {
        prompt().message(res(1166), this, Kind::Warning);
        return;
    }
    const QString server = chosen.first()->text();
    ServerConnectionTest test;
    {
        BusyCursor busy;
        m_admin.voiceServerConnection = remoteVoiceServerConnection(server);
        test = testServerConnection(m_admin.voiceServerConnection);
    }
    switch (test.outcome) {
        case ServerConnectionTest::Outcome::Valid:
            prompt().message(res(1167), this);
            m_connected = true;
            accept();
            return;
        case ServerConnectionTest::Outcome::Refused:
            prompt().message(server + res(1168), this, Kind::Warning);
            return;
        case ServerConnectionTest::Outcome::Failed:
            // The server did not answer as one should: the window stays for another choice.
            prompt().message(res(1169) + test.description, this, Kind::Error);
            return;
    }
}

void frmRemoteConnection::cmdExit_Click() { reject(); }
