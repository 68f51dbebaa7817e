// The raw PMS table viewer on the test MariaDB server's vmstable.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QPushButton>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>

#include "admin/windows/frmRawPTCEDB.h"
#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/MariaDb.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

namespace {

class RawTableMariaDbTest : public AdminFixture<StavioTest> {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        REQUIRE_MARIADB();
        QSqlQuery drop(db());
        ASSERT_TRUE(drop.exec(QStringLiteral("DROP TABLE IF EXISTS vmstable"))) << drop.lastError().text().toStdString();
        table = std::make_unique<ptce::GatewayTable>(connection());
    }
    void TearDown() override {
        window.reset();
        table.reset();
        AdminFixture::TearDown();
    }

    static QString connection() { return PMSConnectionString(testMariaDbServer()); }
    static QSqlDatabase db() { return platform::db::database(connection()); }
    // The server's sessions of the PMS account.
    static QSet<qlonglong> sessions() {
        QSet<qlonglong> ids;
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT ID FROM information_schema.PROCESSLIST WHERE USER = 'vms'")));
        while (q.next()) ids.insert(q.value(0).toLongLong());
        return ids;
    }

    QAbstractItemModel* grid() const { return window->findChild<QTableView*>(QStringLiteral("myGrid"))->model(); }
    void refresh() const { window->findChild<QPushButton*>(QStringLiteral("cmdRefresh"))->click(); }
    QStringList column(const QString& name) const {
        int c = 0;
        while (c < grid()->columnCount() && grid()->headerData(c, Qt::Horizontal).toString() != name) ++c;
        QStringList values;
        for (int r = 0; r < grid()->rowCount(); ++r) values << grid()->index(r, c).data().toString();
        return values;
    }

    std::unique_ptr<ptce::GatewayTable> table;
    std::unique_ptr<frmRawPTCEDB> window;
};

}  // namespace

TEST_F(RawTableMariaDbTest, ShowsTheRowsInExtensionOrderAndRefreshShowsAChangedRoom) {
    table->addRooms({QStringLiteral("305"), QStringLiteral("1010"), QStringLiteral("102"), QStringLiteral("210")});
    table->checkIn(QStringLiteral("305"), {QStringLiteral("Ann"), QStringLiteral("Lee"), 6, QStringLiteral("1234"), {}});

    window = std::make_unique<frmRawPTCEDB>(QStringLiteral(" ") + testMariaDbServer());
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(column(QStringLiteral("Extension1")),
              (QStringList{QStringLiteral("1010"), QStringLiteral("102"), QStringLiteral("210"), QStringLiteral("305")}));
    EXPECT_EQ(column(QStringLiteral("firstname")).last(), QStringLiteral("Ann"));
    EXPECT_EQ(grid()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("id"));

    table->move(QStringLiteral("305"), QStringLiteral("102"));
    refresh();
    EXPECT_EQ(column(QStringLiteral("firstname")), (QStringList{QString(), QStringLiteral("Ann"), QString(), QString()}));
    EXPECT_EQ(column(QStringLiteral("otherroomno")),
              (QStringList{QStringLiteral("0"), QStringLiteral("305"), QStringLiteral("0"), QStringLiteral("102")}));
}

TEST_F(RawTableMariaDbTest, RefreshReconnectsAfterTheServerDroppedTheWindowsConnection) {
    // A window left open past the server's idle time-out, or over a server restart.
    table->init(101, 103);
    const QSet<qlonglong> before = sessions();
    window = std::make_unique<frmRawPTCEDB>(testMariaDbServer());
    const QSet<qlonglong> windows = sessions() - before;
    ASSERT_EQ(windows.size(), 1);
    QSqlQuery kill(db());
    ASSERT_TRUE(kill.exec(QStringLiteral("KILL %1").arg(*windows.begin()))) << kill.lastError().text().toStdString();

    table->checkIn(QStringLiteral("102"), {QStringLiteral("Ben"), QStringLiteral("Ode"), 0, QString(), {}});
    refresh();
    EXPECT_EQ(column(QStringLiteral("lastname")), (QStringList{QString(), QStringLiteral("Ode"), QString()}));
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
}
