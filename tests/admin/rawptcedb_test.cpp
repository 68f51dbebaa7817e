// The raw PMS table viewer on an SQLite PMS table written by the gateway stand-in.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>

#include "admin/localize/modLocalize.h"
#include "admin/windows/frmRawPTCEDB.h"
#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

namespace {

class RawTableTest : public AdminFixture<StavioTest> {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        server = path(QStringLiteral("ptceDB.sqlite"));
        table = std::make_unique<ptce::GatewayTable>(PMSConnectionString(server));
    }
    void TearDown() override {
        window.reset();
        table.reset();
        AdminFixture::TearDown();
    }

    void open(const QString& serverBox) {
        window.reset();
        window = std::make_unique<frmRawPTCEDB>(serverBox);
        window->show();
    }
    QAbstractItemModel* grid() const { return window->findChild<QTableView*>(QStringLiteral("myGrid"))->model(); }
    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(QLatin1String(name)); }
    QStringList headers() const {
        QStringList names;
        for (int c = 0; c < grid()->columnCount(); ++c) names << grid()->headerData(c, Qt::Horizontal).toString();
        return names;
    }
    // One column of the grid, top to bottom.
    QStringList column(const QString& name) const {
        const int c = int(headers().indexOf(name));
        QStringList values;
        if (c < 0) return values;
        for (int r = 0; r < grid()->rowCount(); ++r) values << grid()->index(r, c).data().toString();
        return values;
    }
    QString cell(const QString& extension, const QString& name) const {
        const int r = int(column(QStringLiteral("Extension1")).indexOf(extension));
        return r < 0 ? QStringLiteral("(no row)") : column(name).value(r);
    }
    // The table's columns in its own order, as the database reports them.
    QStringList tableColumns() const {
        const QSqlRecord record = platform::db::database(PMSConnectionString(server)).record(QStringLiteral("vmstable"));
        QStringList names;
        for (int i = 0; i < record.count(); ++i) names << record.fieldName(i);
        return names;
    }

    QString server;
    std::unique_ptr<ptce::GatewayTable> table;
    std::unique_ptr<frmRawPTCEDB> window;
};

}  // namespace

TEST_F(RawTableTest, ShowsEveryRowAndColumnInExtensionOrderReadOnlyAndReleasesItsConnection) {
    const QStringList connections = QSqlDatabase::connectionNames();
    table->addRooms({QStringLiteral("305"), QStringLiteral("1010"), QStringLiteral("102"), QStringLiteral("210")});
    table->checkIn(QStringLiteral("210"), {QStringLiteral("Ann"), QStringLiteral("Lee"), 6, QStringLiteral("1234"), {}});

    open(QStringLiteral("  ") + server + QStringLiteral(" "));  // the box's blanks do not count
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Raw PTCE Database"));
    EXPECT_EQ(button("cmdRefresh")->text(), QStringLiteral("&Refresh"));
    EXPECT_EQ(button("cmdExit")->text(), QStringLiteral("E&xit"));
    EXPECT_TRUE(window->isWindow());

    EXPECT_EQ(headers(), tableColumns());
    EXPECT_GE(headers().size(), 15);
    // Text order of the primary extensions, as the gateway stores them.
    EXPECT_EQ(column(QStringLiteral("Extension1")),
              (QStringList{QStringLiteral("1010"), QStringLiteral("102"), QStringLiteral("210"), QStringLiteral("305")}));
    EXPECT_EQ(cell(QStringLiteral("210"), QStringLiteral("firstname")), QStringLiteral("Ann"));
    EXPECT_EQ(cell(QStringLiteral("210"), QStringLiteral("OccStatus")), QStringLiteral("1"));
    EXPECT_EQ(cell(QStringLiteral("102"), QStringLiteral("OccStatus")), QStringLiteral("0"));
    // No column cuts its name.
    auto* view = window->findChild<QTableView*>(QStringLiteral("myGrid"));
    for (int c = 0; c < grid()->columnCount(); ++c)
        EXPECT_GE(view->columnWidth(c), view->horizontalHeader()->sectionSizeHint(c)) << headers()[c].toStdString();
    // A click on a header sorts by it, rooms as numbers.
    const int extension1 = int(headers().indexOf(QStringLiteral("Extension1")));
    QHeaderView* header = view->horizontalHeader();
    view->scrollTo(grid()->index(0, extension1));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(extension1) + 4, header->height() / 2));
    EXPECT_EQ(column(QStringLiteral("Extension1")),
              (QStringList{QStringLiteral("102"), QStringLiteral("210"), QStringLiteral("305"), QStringLiteral("1010")}));

    const QModelIndex someCell = grid()->index(0, 1);
    EXPECT_FALSE(grid()->flags(someCell).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(grid()->setData(someCell, QStringLiteral("999")));
    EXPECT_EQ(table->rows().front().roomno, QStringLiteral("1010"));

    button("cmdExit")->click();
    EXPECT_FALSE(window->isVisible());
    window.reset();
    // The gateway's connection stays; the window's own went with it.
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), connections.size() + 1);
}

TEST_F(RawTableTest, ShowsAllRowsOfALargeHotelAtOnce) {
    table->init(1001, 1600);
    open(server);
    EXPECT_EQ(grid()->rowCount(), 600);
    EXPECT_EQ(column(QStringLiteral("Extension1")).last(), QStringLiteral("1600"));
}

TEST_F(RawTableTest, RefreshShowsChangesWithoutReopeningAndKeepsTheRowsWhenItFails) {
    table->init(101, 104);
    open(server);
    table->checkIn(QStringLiteral("103"), {QStringLiteral("Anna"), QStringLiteral("Lee-Park"), 10, QString(), {}});
    EXPECT_EQ(cell(QStringLiteral("103"), QStringLiteral("lastname")), QString());

    button("cmdRefresh")->click();
    EXPECT_EQ(cell(QStringLiteral("103"), QStringLiteral("lastname")), QStringLiteral("Lee-Park"));
    EXPECT_EQ(cell(QStringLiteral("103"), QStringLiteral("upd_by_ptce")), QStringLiteral("1"));

    // The table goes away: Refresh fails silently and the grid keeps what it showed.
    table.reset();
    {
        QSqlQuery drop(platform::db::database(PMSConnectionString(server)));
        ASSERT_TRUE(drop.exec(QStringLiteral("DROP TABLE vmstable")));
    }
    button("cmdRefresh")->click();
    EXPECT_EQ(grid()->rowCount(), 4);
    EXPECT_EQ(cell(QStringLiteral("103"), QStringLiteral("lastname")), QStringLiteral("Lee-Park"));
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(RawTableTest, AnEmptyOrWrongServerBoxGives1136AndAnEmptyGrid) {
    const QString missing = path(QStringLiteral("nothing-here.sqlite"));
    const QString withoutTable = path(QStringLiteral("empty.sqlite"));
    platform::db::database(PMSConnectionString(withoutTable), true);  // an SQLite file without vmstable
    ASSERT_TRUE(QFile::exists(withoutTable));
    table->init(101, 102);  // a good table elsewhere, which no case may show

    for (const QString& box : {QString(), QStringLiteral("   "), missing, withoutTable}) {
        prompts->shown.clear();
        open(box);
        EXPECT_EQ(prompts->shown, QStringList{modLocalize::englishString(1136)}) << box.toStdString();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(grid()->rowCount(), 0);
        EXPECT_EQ(grid()->columnCount(), 0);
        button("cmdRefresh")->click();  // nothing to query, and nothing more to say
        EXPECT_EQ(grid()->rowCount(), 0);
        EXPECT_EQ(prompts->shown.size(), 1);
    }
    EXPECT_FALSE(QFile::exists(missing));
}
