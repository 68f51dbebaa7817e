// A restart of the MariaDB server between two calls: every kind of statement
// must work on the first call after the server answers again, on a new
// connection in place of the one the restart cut.
#include <gtest/gtest.h>

#include "platform/db/command.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "tests/support/DbBackends.h"

using namespace platform::db;

namespace {

class ReconnectTest : public StavioTest {
protected:
    void SetUp() override {
        StavioTest::SetUp();
        REQUIRE_RESTARTABLE_MARIADB();
        run(QStringLiteral("DROP TABLE IF EXISTS rc_rooms"));
        run(QStringLiteral("CREATE TABLE rc_rooms (id INT AUTO_INCREMENT PRIMARY KEY, roomno VARCHAR(20), "
                           "upd_by_vms INT NOT NULL DEFAULT 0)"));
        run(QStringLiteral("INSERT INTO rc_rooms (roomno, upd_by_vms) VALUES ('101', 10), ('102', 20), ('103', 30)"));
        run(QStringLiteral("DROP PROCEDURE IF EXISTS sp_RoomCount"));
        run(QStringLiteral("CREATE PROCEDURE sp_RoomCount(IN Prefix VARCHAR(20)) "
                           "SELECT COUNT(*) AS rooms FROM rc_rooms WHERE roomno LIKE CONCAT(Prefix, '%')"));
    }

    // Each use below gets a connection string of its own, so each holds its
    // own connection across the restart (the extra attribute is ignored).
    static QString connection(const char* use) {
        return QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=") + testMariaDbServer() +
               QStringLiteral(";DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3;APP=") + QLatin1String(use);
    }
    static void run(const QString& sql) {
        Recordset rs;
        rs.Open(sql, connection("setup"), adOpenForwardOnly, adLockReadOnly);
    }
    static Recordset open(const char* use, const QString& sql, LockTypeEnum lock, const QVariantList& values = {}) {
        Recordset rs;
        rs.CursorLocation = adUseClient;
        rs.Open(sql, values, connection(use), adOpenKeyset, lock);
        return rs;
    }
    static QStringList rooms() {
        Recordset rs = open("check", QStringLiteral("SELECT roomno, upd_by_vms FROM rc_rooms ORDER BY roomno"),
                            adLockReadOnly);
        QStringList result;
        for (; !rs.IsEOF(); rs.MoveNext())
            result << rs.Text(QStringLiteral("roomno")) + QLatin1Char('|') + rs.Text(QStringLiteral("upd_by_vms"));
        return result;
    }
    static int roomCount(const char* use, const char* prefix) {
        Command cmd(connection(use), QStringLiteral("sp_RoomCount"));
        cmd.SetParameter(QStringLiteral("@Prefix"), QString::fromLatin1(prefix));
        Recordset rs = cmd.Execute();
        return rs.Value(QStringLiteral("rooms")).toInt();
    }
};

TEST_F(ReconnectTest, EveryStatementWorksOnTheFirstCallAfterARestart) {
    // Connections in use before the restart.
    const QString select = QStringLiteral("SELECT id, roomno, upd_by_vms FROM rc_rooms WHERE roomno = ?");
    Recordset kept = open("requery", select, adLockReadOnly, {QStringLiteral("101")});
    Recordset toUpdate = open("update", select, adLockPessimistic, {QStringLiteral("102")});
    Recordset toDelete = open("delete", select, adLockPessimistic, {QStringLiteral("103")});
    Recordset toAdd = open("insert", QStringLiteral("SELECT id, roomno FROM rc_rooms WHERE 1 = 0"), adLockOptimistic);
    open("open", select, adLockReadOnly, {QStringLiteral("101")});
    ASSERT_EQ(roomCount("command", "10"), 3);
    ASSERT_EQ(rooms(), QStringList({"101|10", "102|20", "103|30"}));

    const QString failure = restartTestMariaDb();
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    EXPECT_NO_THROW({
        Recordset fresh = open("open", select, adLockReadOnly, {QStringLiteral("102")});
        EXPECT_EQ(fresh.Text(QStringLiteral("upd_by_vms")), QStringLiteral("20"));
    });
    EXPECT_NO_THROW(kept.Requery());
    EXPECT_EQ(kept.RecordCount(), 1);
    EXPECT_NO_THROW({
        toUpdate.SetValue(QStringLiteral("upd_by_vms"), 21);
        toUpdate.Update();
    });
    EXPECT_NO_THROW(toDelete.Delete());
    EXPECT_NO_THROW({
        toAdd.AddNew();
        toAdd.SetValue(QStringLiteral("roomno"), QStringLiteral("104"));
        toAdd.Update();
    });
    EXPECT_NO_THROW(EXPECT_EQ(roomCount("command", "10"), 3));
    EXPECT_EQ(rooms(), QStringList({"101|10", "102|21", "104|0"}));
}

TEST_F(ReconnectTest, StatementThatMayHaveChangedDataIsNotSentTwice) {
    const QString insert = QStringLiteral("INSERT INTO rc_rooms (roomno) VALUES (?)");
    open("write", insert, adLockReadOnly, {QStringLiteral("104")});

    const QString failure = restartTestMariaDb();
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();

    // Whether a statement cut off on its way reached the server is unknown:
    // it fails, and the next call works on a new connection.
    try {
        open("write", insert, adLockReadOnly, {QStringLiteral("105")});
        ADD_FAILURE() << "a statement on the cut connection succeeded";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(isLinkLost(e.number())) << e.number() << " " << e.description().toStdString();
    }
    EXPECT_NO_THROW(open("write", insert, adLockReadOnly, {QStringLiteral("106")}));
    EXPECT_EQ(rooms(), QStringList({"101|10", "102|20", "103|30", "104|0", "106|0"}));
}

// A connection the server ends while it runs a statement fails with an error
// of its own (not one of the lost-link numbers); it is replaced all the same,
// since it no longer answers, and the next write goes through a new one.
TEST_F(ReconnectTest, ConnectionEndedByTheServerIsReplaced) {
    try {
        open("killed", QStringLiteral("KILL CONNECTION CONNECTION_ID()"), adLockReadOnly);
        ADD_FAILURE() << "the connection survived its own KILL";
    } catch (const platform::Error& e) {
        EXPECT_FALSE(isLinkLost(e.number())) << e.number() << " " << e.description().toStdString();
    }
    EXPECT_NO_THROW(open("killed", QStringLiteral("INSERT INTO rc_rooms (roomno) VALUES ('107')"), adLockReadOnly));
    EXPECT_EQ(rooms(), QStringList({"101|10", "102|20", "103|30", "107|0"}));
}

}  // namespace
