// Finding and choosing a voice-messaging server elsewhere on the network, and
// the guest view on a machine without a server of its own (the remote flag).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>

#include "admin/core/AdminEnv.h"
#include "admin/core/remote/RemoteServers.h"
#include "admin/core/remote/ServerDiscovery.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmMain.h"
#include "common/SettingsTable.h"
#include "common/WorkStationInfo.h"
#include "platform/registry.h"
#include "sim/voxaren/ServerIdentity.h"
#include "tests/admin/GuestViewFixture.h"

using modLocalize::englishString;
using Kind = Prompt::Kind;
using platform::RegValue;

namespace {

// The network as a test describes it; each question is written down.
class ScriptedDiscovery : public ServerDiscovery {
public:
    QStringList domains(const QString& provider) override {
        providers << provider;
        return domainList;
    }
    QStringList servers(const QString& domain) override {
        asked << domain;
        return serversOf.value(domain);
    }
    QStringList domainList;
    QHash<QString, QStringList> serversOf;
    QStringList providers;
    QStringList asked;
};

const QString kNoServerSelected = QStringLiteral("No Voxaren server selected.");

class RemoteTest : public GuestViewTest {
protected:
    void SetUp() override {
        GuestViewTest::SetUp();
        network = std::make_shared<ScriptedDiscovery>();
        adminEnv().discovery = network;
        network->domainList = {QStringLiteral("HOTEL")};
        // VMSERVER is this test's server, reached as another machine's.
        listServer(QStringLiteral("VMSERVER"), databasePath);
        // EMPTYHOST answers, but holds no VoxarenDb.
        listServer(QStringLiteral("EMPTYHOST"), path(QStringLiteral("nothing/VoxarenDb.sqlite")));
    }
    void TearDown() override {
        remote.reset();
        GuestViewTest::TearDown();
    }
    void listServer(const QString& host, const QString& databaseFile) {
        const QString key = voxaren::kServersKey + QLatin1Char('\\') + host;
        platform::machineRegistry().createKey(key);
        platform::machineRegistry().setValue(key, voxaren::kDatabasePathValue, RegValue::sz(databaseFile));
    }
    // A machine without a voice-messaging server of its own.
    void withoutLocalServer() {
        for (const char* name : {"Version Number", "Build Number"})
            platform::machineRegistry().deleteValue(QStringLiteral("Software\\Brightkeel\\"), QLatin1String(name));
    }
    void storeRemote(const QString& connection) {
        platform::machineRegistry().createKey(QLatin1String(kSettingsKey));
        platform::machineRegistry().setValue(QLatin1String(kSettingsKey), QStringLiteral("RemoteConnectionString"),
                                             RegValue::sz(connection));
    }
    QString storedRemote() {
        const std::optional<RegValue> v =
            platform::machineRegistry().value(QLatin1String(kSettingsKey), QStringLiteral("RemoteConnectionString"));
        return v ? v->text : QStringLiteral("(none)");
    }
    void openWindow() {
        remote = std::make_unique<frmRemoteConnection>(adminState);
        ASSERT_TRUE(remote->Form_Load());
        remote->show();
    }
    // The remote window, once it is up modally, is handed to `drive`.
    void whenTheRemoteWindowOpens(std::function<void(frmRemoteConnection*)> drive) {
        driveRemote = true;
        auto* poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [poll, drive, this] {
            auto* window = qobject_cast<frmRemoteConnection*>(QApplication::activeModalWidget());
            if (!window) return;
            poll->stop();
            poll->deleteLater();
            windowShown = true;
            drive(window);
        });
        poll->start();
    }
    template <class T>
    static T* child(QWidget* window, const char* name) {
        return window->findChild<T*>(QLatin1String(name));
    }
    static void press(QWidget* window, const char* name) {
        QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
    }
    static void choose(QWidget* window, const QString& server) {
        auto* list = child<QListWidget>(window, "listSQLServers");
        const QList<QListWidgetItem*> items = list->findItems(server, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list->setCurrentItem(items.first());
    }

    std::shared_ptr<ScriptedDiscovery> network;
    std::unique_ptr<frmRemoteConnection> remote;
    bool windowShown = false;
};

TEST_F(RemoteTest, TheWindowListsTheDomainsAndTheServersOfTheChosenOne) {
    network->domainList = {QStringLiteral("HOTEL")};
    openWindow();
    EXPECT_EQ(network->providers, QStringList{QStringLiteral("Microsoft Windows Network")});
    auto* domains = child<QComboBox>(remote.get(), "cmbDomain");
    ASSERT_EQ(domains->count(), 1);
    EXPECT_EQ(domains->currentText(), QStringLiteral("HOTEL"));
    EXPECT_EQ(remote->windowTitle(), QStringLiteral("Find and Connect to Remote Voxaren Server"));

    press(remote.get(), "cmdFindServers");
    EXPECT_EQ(network->asked, QStringList{QStringLiteral("HOTEL")});
    EXPECT_EQ(prompts->shown, QStringList{QStringLiteral("No SQL servers found in the selected domain")});
    EXPECT_EQ(child<QListWidget>(remote.get(), "listSQLServers")->count(), 0);

    network->serversOf[QStringLiteral("HOTEL")] = {QStringLiteral("VMSERVER"), QStringLiteral("EMPTYHOST")};
    press(remote.get(), "cmdFindServers");
    auto* servers = child<QListWidget>(remote.get(), "listSQLServers");
    ASSERT_EQ(servers->count(), 2);
    EXPECT_EQ(servers->item(0)->text(), QStringLiteral("VMSERVER"));
    EXPECT_EQ(servers->item(1)->text(), QStringLiteral("EMPTYHOST"));
    EXPECT_EQ(prompts->shown.size(), 1);
}

TEST_F(RemoteTest, ConnectNeedsAChosenServer) {
    openWindow();
    press(remote.get(), "cmdConnect");  // an empty list
    network->serversOf[QStringLiteral("HOTEL")] = {QStringLiteral("VMSERVER")};
    press(remote.get(), "cmdFindServers");
    press(remote.get(), "cmdConnect");  // a list, nothing chosen
    EXPECT_EQ(prompts->shown, QStringList({QStringLiteral("No server selected"), QStringLiteral("No server selected")}));
    EXPECT_TRUE(remote->isVisible());
    EXPECT_TRUE(adminState.voiceServerConnection.isEmpty());
}

TEST_F(RemoteTest, AServerWithoutTheDatabaseIsRefusedAndTheWindowStays) {
    network->serversOf[QStringLiteral("HOTEL")] = {QStringLiteral("VMSERVER"), QStringLiteral("EMPTYHOST")};
    openWindow();
    press(remote.get(), "cmdFindServers");
    choose(remote.get(), QStringLiteral("EMPTYHOST"));
    press(remote.get(), "cmdConnect");
    EXPECT_EQ(prompts->shown, QStringList{QStringLiteral("EMPTYHOST does not appear to be a Voxaren server or you do "
                                                         "not have rights to log into VoxarenDB on that server")});
    EXPECT_TRUE(remote->isVisible());
    EXPECT_FALSE(remote->connected());
    // The refused server stays in the connection string, for the guest view to test.
    EXPECT_EQ(adminState.voiceServerConnection,
              remoteVoiceServerConnection(QStringLiteral("EMPTYHOST")));

    choose(remote.get(), QStringLiteral("VMSERVER"));
    press(remote.get(), "cmdConnect");
    EXPECT_EQ(prompts->shown.last(), QStringLiteral("Voxaren server connection valid"));
    EXPECT_FALSE(remote->isVisible());
    EXPECT_TRUE(remote->connected());
    EXPECT_EQ(
        adminState.voiceServerConnection,
        QStringLiteral(
            "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial "
            "Catalog=VoxarenDb;Data Source=VMSERVER"));
}

TEST_F(RemoteTest, AnyOtherFailureWhileConnectingKeepsTheWindowOpen) {
    // A server that answers with a failure of its own, not the provider's refusal.
    const platform::Env::VoiceServerResolver server = environment().voiceServerResolver();
    environment().setVoiceServer(
        [server](const platform::db::ConnectionSpec& requested) {
            if (requested.host == QLatin1String("LOCKED"))
                throw platform::Error(18456, QStringLiteral("Login failed for user 'HOTEL\\frontdesk'."));
            return server(requested);
        },
        std::make_shared<voxaren::ServerProcedures>());
    network->serversOf[QStringLiteral("HOTEL")] = {QStringLiteral("LOCKED")};
    openWindow();
    press(remote.get(), "cmdFindServers");
    choose(remote.get(), QStringLiteral("LOCKED"));
    press(remote.get(), "cmdConnect");
    const QString error = QStringLiteral("Error in cmdConnect: Login failed for user 'HOTEL\\frontdesk'.");
    EXPECT_EQ(prompts->shown, QStringList{error});
    EXPECT_EQ(prompts->kindOf(error), Kind::Error);
    EXPECT_TRUE(remote->isVisible());
    EXPECT_FALSE(remote->connected());
}

TEST_F(RemoteTest, AStaleStoredServerBringsUpTheWindowAndChoosingNothingEndsTheProgram) {
    withoutLocalServer();
    storeRemote(remoteVoiceServerConnection(QStringLiteral("GONEHOST")));
    QStringList listed;
    whenTheRemoteWindowOpens([&](frmRemoteConnection* window) {
        auto* domains = child<QComboBox>(window, "cmbDomain");
        for (int i = 0; i < domains->count(); ++i) listed << domains->itemText(i);
        press(window, "cmdExit");
    });
    frmMain main(adminState, {QStringLiteral("VoxarenStavioAdmin")});
    EXPECT_FALSE(main.Form_Load());
    EXPECT_TRUE(windowShown);
    EXPECT_EQ(listed, QStringList{QStringLiteral("HOTEL")});
    EXPECT_EQ(prompts->shown, QStringList{kNoServerSelected});
    EXPECT_FALSE(main.isVisible());
}

TEST_F(RemoteTest, AChosenServerIsStoredAndItsGuestsAreShown) {
    const QString ann = archivedGuest(QStringLiteral("1201"), 186000000, QStringLiteral("Ann"), QStringLiteral("Lee"));
    withoutLocalServer();
    network->serversOf[QStringLiteral("HOTEL")] = {QStringLiteral("VMSERVER")};
    whenTheRemoteWindowOpens([&](frmRemoteConnection* window) {
        press(window, "cmdFindServers");
        choose(window, QStringLiteral("VMSERVER"));
        press(window, "cmdConnect");
    });
    frmMain main(adminState, {QStringLiteral("VoxarenStavioAdmin")});
    ASSERT_TRUE(main.Form_Load());
    EXPECT_TRUE(windowShown);
    EXPECT_EQ(prompts->shown, QStringList{QStringLiteral("Voxaren server connection valid")});
    EXPECT_EQ(storedRemote(), remoteVoiceServerConnection(QStringLiteral("VMSERVER")));
    ASSERT_TRUE(main.guestView());
    frmGuestView* shown = main.guestView();
    auto* model = static_cast<GuestGridModel*>(
        static_cast<QSortFilterProxyModel*>(shown->findChild<QTableView*>(QStringLiteral("gridGuests"))->model())->sourceModel());
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->cell(0, QStringLiteral("SubscriberObjectID")), ann);

    // An archived guest is not restored from another machine.
    auto* table = shown->findChild<QTableView*>(QStringLiteral("gridGuests"));
    const QModelIndex index = model->index(0, GuestGridModel::columnOf(QStringLiteral("DisplayName")));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
    EXPECT_FALSE(shown->findChild<QPushButton*>(QStringLiteral("cmdUncheckout"))->isEnabled());
    // Nor are lamps set: only the server's own machine reaches its notifier.
    EXPECT_FALSE(shown->findChild<QPushButton*>(QStringLiteral("cmdResyncLamps"))->isEnabled());

    // The next start goes straight to the stored server: no window this time.
    driveRemote = false;
    prompts->shown.clear();
    adminState.voiceServerConnection.clear();
    ASSERT_TRUE(open());
    EXPECT_TRUE(prompts->shown.isEmpty());
    EXPECT_EQ(guests()->rowCount(), 1);
}

TEST_F(RemoteTest, ARefusedServerLeftInTheWindowIsNotValid) {
    withoutLocalServer();
    adminState.remote = true;
    network->serversOf[QStringLiteral("HOTEL")] = {QStringLiteral("EMPTYHOST")};
    whenTheRemoteWindowOpens([&](frmRemoteConnection* window) {
        press(window, "cmdFindServers");
        choose(window, QStringLiteral("EMPTYHOST"));
        press(window, "cmdConnect");  // refused: the window stays
        press(window, "cmdExit");
    });
    EXPECT_FALSE(open());
    EXPECT_TRUE(view->ended());
    EXPECT_EQ(prompts->shown.last(), QStringLiteral("Voxaren server selected was not valid."));
    EXPECT_EQ(storedRemote(), QStringLiteral("(none)"));
    EXPECT_TRUE(adminState.voiceServerConnection.isEmpty());
}

TEST_F(RemoteTest, ANetworkWithoutDomainsEndsTheProgram) {
    adminState.remote = true;
    network->domainList.clear();
    EXPECT_FALSE(open());
    EXPECT_EQ(prompts->shown, QStringList{QStringLiteral("No Windows domain found on the network!  Exiting...")});
}

TEST_F(RemoteTest, LeavingTheGuestViewEndsTheProgramOnlyWhenItIsTheProgramsOneWindow) {
    ASSERT_TRUE(open());
    click("cmdExit");
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(view->ended());

    ASSERT_TRUE(open({QStringLiteral("VoxarenStavioAdmin"), QStringLiteral("guestView")}));
    view->close();  // the window's close box does the same as Exit
    EXPECT_TRUE(view->ended());

    storeRemote(remoteVoiceServerConnection(QStringLiteral("VMSERVER")));
    adminState.remote = true;
    ASSERT_TRUE(open());
    click("cmdExit");
    EXPECT_TRUE(view->ended());
}

// The registry store's network: the servers listed under Servers, each in
// the domain its "Domain" value names (else the workstation's), plus this machine.
TEST_F(RemoteTest, TheStoresNetworkListsItsServersByDomain) {
    platform::machineRegistry().setValue(voxaren::kServersKey + QStringLiteral("\\VMSERVER"), QStringLiteral("Domain"),
                                         RegValue::sz(QStringLiteral("HOTEL")));
    listServer(QStringLiteral("SPARE"), databasePath);
    platform::machineRegistry().setValue(voxaren::kServersKey + QStringLiteral("\\SPARE"), QStringLiteral("Domain"),
                                         RegValue::sz(QStringLiteral("hotel")));
    RegistryServerDiscovery store;
    const QString own = workstationDomain();
    EXPECT_FALSE(own.isEmpty());
    EXPECT_EQ(store.domains(QStringLiteral("Microsoft Windows Network")), QStringList({own, QStringLiteral("HOTEL")}));
    EXPECT_TRUE(store.domains(QStringLiteral("NetWare Network")).isEmpty());
    EXPECT_EQ(store.servers(QStringLiteral("HOTEL")), QStringList({QStringLiteral("VMSERVER"), QStringLiteral("SPARE")}));
    const QStringList local{WorkStationInfo().ComputerName(), QStringLiteral("EMPTYHOST")};
    EXPECT_EQ(store.servers(own), local);
    EXPECT_EQ(store.servers(QString()), local);
    EXPECT_TRUE(store.servers(QStringLiteral("ELSEWHERE")).isEmpty());
}

}  // namespace
