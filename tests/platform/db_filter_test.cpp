#include <gtest/gtest.h>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "tests/support/DbBackends.h"

using namespace platform::db;

namespace {

// Rows as the gateway leaves them: moves, a swap, occupied and vacant rooms.
class FilterTest : public DbBackendTest {
protected:
    void prepareDatabase() override {
        recreateTable(
            QStringLiteral("ft_rooms"),
            QStringLiteral(
                "id %1, roomno VARCHAR(20) NOT NULL, otherroomno VARCHAR(20) NULL, "
                "Extension1 VARCHAR(20) NOT NULL, OccStatus CHAR(1) NULL, upd_by_ptce INT NULL")
                .arg(autoKey()));
        const struct {
            const char *room, *other, *occ;
            int flag;
        } rooms[] = {
            {"101", "102", "0", 1},  // left by a moving guest
            {"102", "101", "1", 1},  // arrival of that move
            {"201", "202", "1", 1},  // swap
            {"202", "201", "1", 1},  // swap
            {"301", "0", "1", 0},    // occupied, unchanged
            {"302", "0", "1", 2},    // occupied, changed
            {"303", "", "0", 1},     // vacant, changed, no partner
            {"304", nullptr, nullptr, 0},  // NULLs everywhere
            {"305", "0", "0", 0},
        };
        for (const auto& r : rooms)
            exec(QStringLiteral("INSERT INTO ft_rooms (roomno, otherroomno, Extension1, OccStatus, upd_by_ptce) VALUES (?,?,?,?,?)"),
                 {QString::fromLatin1(r.room),
                  r.other ? QVariant(QString::fromLatin1(r.other)) : QVariant(QMetaType::fromType<QString>()),
                  QString::fromLatin1(r.room),
                  r.occ ? QVariant(QString::fromLatin1(r.occ)) : QVariant(QMetaType::fromType<QString>()),
                  r.other ? QVariant(r.flag) : QVariant(QMetaType::fromType<int>())});
        rs.Open(QStringLiteral("SELECT * from ft_rooms ORDER BY id"), connection(), adOpenStatic, adLockReadOnly);
    }
    QStringList visibleRooms() {
        QStringList rooms;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) rooms << rs.Text(QStringLiteral("roomno"));
        return rooms;
    }
    Recordset rs;
};

TEST_P(FilterTest, TheFourSweepFiltersSelectTheRightRows) {
    rs.SetFilter(QStringLiteral("otherroomno>'0' and upd_by_ptce>0"));
    EXPECT_EQ(visibleRooms(), QStringList({"101", "102", "201", "202"}));
    EXPECT_EQ(rs.RecordCount(), 4);
    rs.SetFilter(QStringLiteral("OccStatus='1'"));
    EXPECT_EQ(visibleRooms(), QStringList({"102", "201", "202", "301", "302"}));
    rs.SetFilter(QStringLiteral("OccStatus<>'1'"));
    EXPECT_EQ(visibleRooms(), QStringList({"101", "303", "305"}));  // NULL matches neither
    rs.SetFilter(QStringLiteral("upd_by_ptce<>0 and OccStatus='1'"));
    EXPECT_EQ(visibleRooms(), QStringList({"102", "201", "202", "302"}));
    rs.ClearFilter();
    EXPECT_EQ(rs.RecordCount(), 9);
}

TEST_P(FilterTest, ComparesAsTheColumnsKindAndRejectsBadTexts) {
    rs.SetFilter(QStringLiteral("upd_by_ptce >= 2"));
    EXPECT_EQ(visibleRooms(), QStringList({"302"}));
    rs.SetFilter(QStringLiteral("Extension1 < '2'"));  // text order: "101" < "2"
    EXPECT_EQ(visibleRooms(), QStringList({"101", "102"}));
    rs.SetFilter(QStringLiteral("upd_by_ptce = '1' AND roomno <= '102'"));
    EXPECT_EQ(visibleRooms(), QStringList({"101", "102"}));
    rs.SetFilter([](const RowRef& row) { return row.text(QStringLiteral("roomno")).endsWith(QLatin1Char('5')); });
    EXPECT_EQ(visibleRooms(), QStringList({"305"}));
    for (const char* bad : {"nosuch='1'", "roomno ~ '1'", "roomno='1", "roomno='1' or roomno='2'", "roomno=abc"}) {
        try {
            rs.SetFilter(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), errors::BadArguments) << bad;
        }
    }
}

TEST_P(FilterTest, FindSearchesForwardFromTheCurrentRow) {
    EXPECT_TRUE(rs.Find(QStringLiteral("otherroomno='101'")));
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("102"));
    EXPECT_TRUE(rs.Find(QStringLiteral("OccStatus='1'")));  // the current row itself counts
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("102"));
    EXPECT_TRUE(rs.Find(QStringLiteral("OccStatus='1'"), 1));
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("201"));
    EXPECT_FALSE(rs.Find(QStringLiteral("Extension1='101'")));  // behind the current row
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveLast();
    EXPECT_TRUE(rs.Find(QStringLiteral("Extension1='101'"), 0, adSearchBackward));
    EXPECT_EQ(rs.AbsolutePosition(), 1);

    rs.SetFilter(QStringLiteral("OccStatus='1'"));
    EXPECT_FALSE(rs.Find(QStringLiteral("Extension1='101'")));  // hidden by the filter
    rs.MoveFirst();
    EXPECT_TRUE(rs.Find(QStringLiteral("upd_by_ptce=2")));
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("302"));
    const int mark = rs.Bookmark();
    rs.ClearFilter();
    rs.MoveTo(mark);
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("302"));
}

// Only SQLite lets a numeric column hold text. Such a value, and a key that is
// not a number, equal nothing there: finds agree with filters.
class NumericFindTest : public FilterTest {};

TEST_P(NumericFindTest, TextNeverEqualsOnANumericColumn) {
    exec(QStringLiteral("UPDATE ft_rooms SET upd_by_ptce = 'abc' WHERE roomno = '305'"));
    exec(QStringLiteral("UPDATE ft_rooms SET upd_by_ptce = 'xyz' WHERE roomno = '304'"));
    rs.Requery();
    ASSERT_TRUE(rs.IsNumericField(QStringLiteral("upd_by_ptce")));

    for (const char* key : {"", "abc", "xyz"}) {
        rs.MoveFirst();
        EXPECT_FALSE(rs.FindEqual(QStringLiteral("upd_by_ptce"), QString::fromLatin1(key))) << key;
        EXPECT_TRUE(rs.IsEOF()) << key;
        rs.MoveFirst();
        const QString criteria = QStringLiteral("upd_by_ptce='%1'").arg(QLatin1String(key));
        EXPECT_FALSE(rs.Find(criteria)) << key << " found room " << rs.Text(QStringLiteral("roomno")).toStdString();
        rs.SetFilter(criteria);
        EXPECT_EQ(rs.RecordCount(), 0) << key;
        rs.ClearFilter();
    }
    rs.MoveFirst();
    EXPECT_TRUE(rs.FindEqual(QStringLiteral("upd_by_ptce"), QStringLiteral("2.0")));
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("302"));
    rs.MoveLast();
    EXPECT_TRUE(rs.Find(QStringLiteral("upd_by_ptce=0"), 0, adSearchBackward));
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("301"));
}

INSTANTIATE_ON_BOTH_BACKENDS(FilterTest);
INSTANTIATE_TEST_SUITE_P(Backends, NumericFindTest, ::testing::Values(TestBackend::Sqlite), backendName);

}  // namespace
