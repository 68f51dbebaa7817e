#include <gtest/gtest.h>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "tests/support/DbBackends.h"

using namespace platform::db;

namespace {

class RecordsetTest : public DbBackendTest {
protected:
    void prepareDatabase() override {
        const QString columns = QStringLiteral(
            "roomno VARCHAR(20) NOT NULL, otherroomno VARCHAR(20) NOT NULL DEFAULT '0', Extension1 VARCHAR(20), "
            "firstname VARCHAR(64) NULL, OccStatus CHAR(1) NOT NULL DEFAULT '0', upd_by_ptce INT NOT NULL DEFAULT 0");
        recreateTable(QStringLiteral("rs_rooms"),
                      QStringLiteral("id %1, %2").arg(autoKey(), columns));
        recreateTable(QStringLiteral("rs_nokey"), columns);
        for (const char* table : {"rs_rooms", "rs_nokey"}) {
            const QString insert = QStringLiteral("INSERT INTO %1 (roomno, Extension1, firstname, OccStatus, upd_by_ptce) "
                                                  "VALUES (?,?,?,?,?)").arg(QLatin1String(table));
            exec(insert, {QStringLiteral("101"), QStringLiteral("101"), QStringLiteral("Anna"), QStringLiteral("1"), 1});
            exec(insert, {QStringLiteral("102"), QStringLiteral("102"), QVariant(QMetaType::fromType<QString>()),
                          QStringLiteral("0"), 0});
            exec(insert, {QStringLiteral("103"), QStringLiteral("103"), QStringLiteral(""), QStringLiteral("1"), 0});
        }
    }
    Recordset open(const QString& sql, LockTypeEnum lock = adLockReadOnly, const QVariantList& params = {}) {
        Recordset rs;
        rs.CursorLocation = adUseClient;
        rs.Open(sql, params, connection(), adOpenKeyset, lock);
        return rs;
    }
};

TEST_P(RecordsetTest, ReadsRowsAndKeepsNullApartFromEmptyText) {
    Recordset rs = open(QStringLiteral("SELECT * from rs_rooms ORDER BY roomno"));
    EXPECT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_FALSE(rs.IsBOF());
    EXPECT_EQ(rs.Text(QStringLiteral("FIRSTNAME")), QStringLiteral("Anna"));
    rs.MoveNext();
    EXPECT_TRUE(rs.IsNull(QStringLiteral("firstname")));
    EXPECT_EQ(rs.Text(QStringLiteral("firstname")), QString());
    rs.MoveNext();
    EXPECT_FALSE(rs.IsNull(QStringLiteral("firstname")));
    EXPECT_EQ(rs.Text(QStringLiteral("firstname")), QString());
    EXPECT_EQ(rs.Text(QStringLiteral("upd_by_ptce")), QStringLiteral("0"));
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_THROW(rs.Value(QStringLiteral("roomno")), platform::Error);
    rs.MovePrevious();
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("103"));
    rs.MoveFirst();
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    EXPECT_THROW(rs.Value(QStringLiteral("nosuchcolumn")), platform::Error);
    rs.Close();
    EXPECT_EQ(rs.State(), adStateClosed);

    Recordset none = open(QStringLiteral("SELECT * from rs_rooms WHERE roomno=?"), adLockReadOnly, {QStringLiteral("999")});
    EXPECT_EQ(none.RecordCount(), 0);
    EXPECT_TRUE(none.IsBOF());
    EXPECT_TRUE(none.IsEOF());
}

TEST_P(RecordsetTest, UpdateWritesOnlyChangedColumnsAndKeepsNullAndEmptyApart) {
    Recordset rs = open(QStringLiteral("SELECT * from rs_rooms WHERE roomno=?"), adLockPessimistic, {QStringLiteral("101")});
    rs.SetValue(QStringLiteral("firstname"), QStringLiteral(""));
    rs.SetValue(QStringLiteral("upd_by_ptce"), 0);
    rs.Update();
    Recordset other = open(QStringLiteral("SELECT * from rs_rooms WHERE roomno=?"), adLockOptimistic, {QStringLiteral("102")});
    other.SetValue(QStringLiteral("Extension1"), QVariant(QMetaType::fromType<QString>()));
    other.Update();
    EXPECT_EQ(rows(QStringLiteral("SELECT roomno, Extension1, firstname, upd_by_ptce FROM rs_rooms ORDER BY roomno")),
              QStringList({QStringLiteral("101|101||0"), QStringLiteral("102|NULL|NULL|0"), QStringLiteral("103|103||0")}));
}

TEST_P(RecordsetTest, RowsWithoutKeyAreFoundByTheirOriginalValues) {
    Recordset rs = open(QStringLiteral("SELECT Extension1, upd_by_ptce from rs_nokey WHERE Extension1=?"), adLockPessimistic,
                        {QStringLiteral("101")});
    ASSERT_EQ(rs.RecordCount(), 1);
    rs.SetValue(QStringLiteral("upd_by_ptce"), 0);
    rs.Update();
    EXPECT_EQ(rows(QStringLiteral("SELECT roomno, upd_by_ptce FROM rs_nokey ORDER BY roomno")),
              QStringList({QStringLiteral("101|0"), QStringLiteral("102|0"), QStringLiteral("103|0")}));
}

TEST_P(RecordsetTest, ARowChangedOrDuplicatedSinceReadingIsNotUpdated) {
    Recordset rs = open(QStringLiteral("SELECT roomno, firstname from rs_nokey WHERE roomno=?"), adLockPessimistic,
                        {QStringLiteral("101")});
    exec(QStringLiteral("UPDATE rs_nokey SET firstname='Bob' WHERE roomno='101'"));  // someone else wrote it
    rs.SetValue(QStringLiteral("firstname"), QStringLiteral("Carl"));
    try {
        rs.Update();
        FAIL() << "updated a row that changed meanwhile";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), errors::RowNotFound);
    }

    exec(QStringLiteral("INSERT INTO rs_nokey (roomno, Extension1, firstname) VALUES ('101', '101', 'Bob')"));
    Recordset twin = open(QStringLiteral("SELECT roomno, firstname from rs_nokey WHERE roomno=?"), adLockPessimistic,
                          {QStringLiteral("101")});
    twin.SetValue(QStringLiteral("firstname"), QStringLiteral("Dora"));
    EXPECT_THROW(twin.Update(), platform::Error);
    EXPECT_EQ(rows(QStringLiteral("SELECT firstname FROM rs_nokey WHERE roomno='101'")),
              QStringList({QStringLiteral("Bob"), QStringLiteral("Bob")}));
}

TEST_P(RecordsetTest, AddDeleteAndRequery) {
    Recordset rs = open(QStringLiteral("SELECT * from rs_rooms ORDER BY roomno"), adLockOptimistic);
    rs.AddNew();
    rs.SetValue(QStringLiteral("roomno"), QStringLiteral("104"));
    rs.SetValue(QStringLiteral("Extension1"), QStringLiteral("104"));
    rs.Update();
    EXPECT_FALSE(rs.IsNull(QStringLiteral("id")));  // the new key is read back
    rs.MoveFirst();
    rs.Delete();
    rs.MoveNext();  // to the row after the deleted one, as usual after a delete
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("102"));
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.Text(QStringLiteral("roomno")), QStringLiteral("102"));
    EXPECT_EQ(rows(QStringLiteral("SELECT roomno, OccStatus FROM rs_rooms ORDER BY roomno")),
              QStringList({QStringLiteral("102|0"), QStringLiteral("103|1"), QStringLiteral("104|0")}));
}

TEST_P(RecordsetTest, ReadOnlyAndJoinedRowsCannotBeChanged) {
    Recordset rs = open(QStringLiteral("SELECT * from rs_rooms"));
    try {
        rs.SetValue(QStringLiteral("firstname"), QStringLiteral("x"));
        FAIL() << "changed a read-only recordset";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), errors::NotUpdatable);
    }
    Recordset joined = open(QStringLiteral("SELECT a.roomno FROM rs_rooms a, rs_nokey b WHERE a.roomno=b.roomno"),
                            adLockOptimistic);
    EXPECT_THROW(joined.SetValue(QStringLiteral("roomno"), QStringLiteral("1")), platform::Error);
}

TEST_P(RecordsetTest, BoundValuesWithQuotesTouchOnlyTheirRow) {
    exec(QStringLiteral("INSERT INTO rs_rooms (roomno, Extension1) VALUES (?, ?)"), {QStringLiteral("10'1"), QStringLiteral("10'1")});
    Recordset rs = open(QStringLiteral("SELECT Extension1, upd_by_ptce from rs_rooms WHERE Extension1=?"), adLockPessimistic,
                        {QStringLiteral("10'1' OR '1'='1")});
    EXPECT_EQ(rs.RecordCount(), 0);
    Recordset quoted = open(QStringLiteral("SELECT Extension1, upd_by_ptce from rs_rooms WHERE Extension1=?"),
                            adLockPessimistic, {QStringLiteral("10'1")});
    ASSERT_EQ(quoted.RecordCount(), 1);
    quoted.SetValue(QStringLiteral("upd_by_ptce"), 7);
    quoted.Update();
    EXPECT_EQ(rows(QStringLiteral("SELECT roomno, upd_by_ptce FROM rs_rooms ORDER BY roomno")),
              QStringList({QStringLiteral("10'1|7"), QStringLiteral("101|1"), QStringLiteral("102|0"),
                           QStringLiteral("103|0")}));
}

TEST_P(RecordsetTest, SqlErrorsCarryTheDatabasesNumberAndText) {
    try {
        open(QStringLiteral("SELECT * from no_such_table"));
        FAIL() << "opened a missing table";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("no_such_table"))) << e.description().toStdString();
        if (mysql()) {
            EXPECT_EQ(e.number(), 1146);
        }
    }
}

INSTANTIATE_ON_BOTH_BACKENDS(RecordsetTest);

}  // namespace
