#include <gtest/gtest.h>

#include <QFile>

#include "common/DiagnosticLogFile.h"
#include "common/PMSConnection.h"
#include "common/ServiceState.h"
#include "common/modPMSFunctions.h"
#include "platform/clock.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "tests/support/DbBackends.h"

using namespace modPMSFunctions;
using namespace platform::db;

namespace {

class PmsTableTest : public DbBackendTest {
protected:
    PmsTableTest() { fakeClockStart = QDateTime(QDate(2026, 12, 6), QTime(7, 5, 9)); }
    void prepareDatabase() override {
        exec(QStringLiteral("DROP TABLE IF EXISTS vmstable"));
        gateway.emplace(connection());
        gateway->init(101, 104);
        serviceState.pmsConnection = connection();
        serviceState.settings.DebugMode = true;
        serviceState.log.StartLogFile(path(QStringLiteral("log.txt")));
    }
    void TearDown() override {
        gateway.reset();  // its copy of the connection goes before the connection
        DbBackendTest::TearDown();
    }
    // Diagnostic lines after the header, without their time stamps.
    QStringList logLines() {
        QStringList lines = readFile(path(QStringLiteral("log.txt"))).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        lines = lines.mid(6);
        for (QString& l : lines) l = l.section(QLatin1Char(','), 1);
        return lines;
    }
    // Clears a row's flag as a sweep does; the rooms it counts as handled.
    QSet<QString> clearFlag(const QString& extension) {
        QSet<QString> cleared;
        ClearPMSDBUpdatedByPTCEFlag(serviceState, PmsRoom::withExtension(extension), cleared);
        return cleared;
    }
    QStringList flags() { return rows(QStringLiteral("SELECT roomno, upd_by_ptce FROM vmstable ORDER BY roomno")); }
    std::optional<ptce::GatewayTable> gateway;
    QSet<QString> handled;  // the rooms whose flags the calls cleared
};

TEST_P(PmsTableTest, ClearingTheGatewayFlagTouchesOnlyThatRow) {
    gateway->checkIn(QStringLiteral("101"), {QStringLiteral("Anna"), QStringLiteral("Berg"), 10, QString(), {}});
    gateway->checkIn(QStringLiteral("102"), {QStringLiteral("Carl"), QStringLiteral("Dahl"), 0, QString(), {}});
    EXPECT_EQ(clearFlag(QStringLiteral("101")), QSet<QString>{QStringLiteral("101")});
    EXPECT_EQ(flags(), QStringList({"101|0", "102|1", "103|0", "104|0"}));
    EXPECT_EQ(logLines(), QStringList({"1019,SYNC_DEBUG,,,Clearing UpdatedByPTCE flag for extension=101",
                                       "1019,SYNC_DEBUG,,,UpdatedByPTCE flag cleared for extension=101"}));
    EXPECT_TRUE(events.entries.empty());
}

TEST_P(PmsTableTest, MissingOrDuplicatedExtensionChangesNothing) {
    serviceState.settings.DebugMode = false;
    clearFlag(QStringLiteral("999"));
    exec(QStringLiteral("UPDATE vmstable SET Extension1='101', upd_by_ptce=1 WHERE roomno IN ('101','102')"));
    clearFlag(QStringLiteral("101"));
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("101"), 1);
    EXPECT_EQ(eventTexts(),
              QStringList({"(error) no recordset returned in ClearPMSDBUpdatedbyPTCEFlag routine for extension=999",
                           "(error) more than one recordset returned in ClearPMSDBUpdatedbyPTCEFlag routine for extension=101",
                           "(error) more than one recordset returned in SetPMSDBUpdatedbyVMSFlag routine for extension=101"}));
    EXPECT_EQ(flags(), QStringList({"101|1", "102|1", "103|0", "104|0"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT SUM(upd_by_vms), SUM(UnreadMsgCount) FROM vmstable")), QStringList{"0|0"});
    EXPECT_EQ(logLines().size(), 3);  // the errors only: no debug lines with Debug Mode off
}

TEST_P(PmsTableTest, MissingRowStillWritesTheClosingDebugLine) {
    clearFlag(QStringLiteral("999"));
    EXPECT_EQ(logLines(), QStringList({"1019,SYNC_DEBUG,,,Clearing UpdatedByPTCE flag for extension=999",
                                       "4,ERROR,,,(error) no recordset returned in ClearPMSDBUpdatedbyPTCEFlag routine for extension=999",
                                       "1019,SYNC_DEBUG,,,UpdatedByPTCE flag cleared for extension=999"}));
}

TEST_P(PmsTableTest, LampWritesRaiseTheCounterEachTime) {
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("103"), 1);
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("103"), 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT roomno, upd_by_vms, UnreadMsgCount FROM vmstable WHERE roomno='103'")),
              QStringList{"103|2|0"});
    EXPECT_EQ(logLines().first(), QStringLiteral("1019,SYNC_DEBUG,,,Setting UpdatedByVMS flag for extension=103"));
    EXPECT_EQ(logLines().last(), QStringLiteral("1019,SYNC_DEBUG,,,UpdatedByVMS flag set for extension=103"));
}

// The counter is a 32-bit column: after its largest value it starts again at
// 0 (a change the gateway still sees), never past it.
TEST_P(PmsTableTest, LampCounterWrapsToZeroAfterItsLargestValue) {
    exec(QStringLiteral("UPDATE vmstable SET upd_by_vms = 2147483646 WHERE roomno = '103'"));
    const QString sql = QStringLiteral("SELECT upd_by_vms, UnreadMsgCount FROM vmstable WHERE roomno='103'");
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("103"), 1);
    EXPECT_EQ(rows(sql), QStringList{"2147483647|1"});
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("103"), 0);
    EXPECT_EQ(rows(sql), QStringList{"0|0"});
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("103"), 1);
    EXPECT_EQ(rows(sql), QStringList{"1|1"});
    EXPECT_TRUE(events.entries.empty()) << eventTexts().join(QLatin1Char('\n')).toStdString();
}

// The gateway deletes its SQLite file (with its write-ahead log) and creates
// it again while the service runs: the lamp writes that follow land in the
// new file.
class PmsFileTest : public PmsTableTest {};

TEST_P(PmsFileTest, ReplacedPmsFileReceivesTheLampWrites) {
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("101"), 1);
    gateway.reset();
    for (const char* part : {"", "-wal", "-shm"}) QFile::remove(server() + QLatin1String(part));
    ASSERT_FALSE(QFile::exists(server()));
    ptce::GatewayTable(QStringLiteral("Driver={SQLite3};Database=") + server()).init(101, 104);

    for (short unread : {1, 0, 1})
        SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("101"), unread);
    EXPECT_EQ(rows(QStringLiteral("SELECT roomno, upd_by_vms, UnreadMsgCount FROM vmstable WHERE roomno='101'")),
              QStringList{"101|3|1"});
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('\n')).toStdString();
}

TEST_P(PmsTableTest, MovedRoomsAreClearedThroughTheSnapshot) {
    gateway->checkIn(QStringLiteral("101"), {QStringLiteral("Anna"), QStringLiteral("Berg"), 10, QString(), {}});
    gateway->move(QStringLiteral("101"), QStringLiteral("102"));
    Recordset snapshot;
    snapshot.Open(QStringLiteral("SELECT * from vmstable"), connection(), adOpenStatic, adLockReadOnly);
    snapshot.SetFilter(QStringLiteral("otherroomno>'0' and upd_by_ptce>0"));
    ASSERT_EQ(snapshot.RecordCount(), 2);
    snapshot.MoveLast();
    EXPECT_TRUE(bClearPMSRecordsForMovedRooms(serviceState, QStringLiteral("101"),
                                              QStringLiteral("102"), snapshot, handled));
    EXPECT_EQ(handled, QSet<QString>({QStringLiteral("101"), QStringLiteral("102")}));
    EXPECT_EQ(snapshot.AbsolutePosition(), 1);
    EXPECT_EQ(flags(), QStringList({"101|0", "102|0", "103|0", "104|0"}));
    EXPECT_TRUE(events.entries.empty());
    EXPECT_EQ(logLines().first(),
              QStringLiteral("1009,ROOM_MOVE_DEBUG,,,Attempting to clear remote PMS records for target room=101 and target room=102"));
    EXPECT_EQ(logLines().last(),
              QStringLiteral("1009,ROOM_MOVE_DEBUG,,,Records for target room=101 and target room=102 cleared in remote PMS database."));
}

TEST_P(PmsTableTest, MovedRoomsWithoutPartnersReportWhatIsMissing) {
    gateway->checkIn(QStringLiteral("101"), {QStringLiteral("Anna"), QStringLiteral("Berg"), 10, QString(), {}});
    gateway->move(QStringLiteral("101"), QStringLiteral("102"));
    Recordset one;
    one.Open(QStringLiteral("SELECT * from vmstable WHERE roomno=?"), {QStringLiteral("101")}, connection(), adOpenStatic,
             adLockReadOnly);
    EXPECT_FALSE(bClearPMSRecordsForMovedRooms(serviceState, QStringLiteral("101"),
                                               QStringLiteral("102"), one, handled));
    EXPECT_TRUE(events.entries.empty());

    Recordset all;
    all.Open(QStringLiteral("SELECT * from vmstable"), connection(), adOpenStatic, adLockReadOnly);
    EXPECT_FALSE(bClearPMSRecordsForMovedRooms(serviceState, QStringLiteral("101"),
                                               QStringLiteral("109"), all, handled));
    EXPECT_EQ(eventTexts(), QStringList{"(error): filter for secondary room to clear=109 returned 0 records when "
                                        "filtering for otherroomcolumn"});
    EXPECT_EQ(flags(), QStringList({"101|1", "102|0", "103|0", "104|0"}));  // the first row stays cleared
    events.entries.clear();
    EXPECT_FALSE(bClearPMSRecordsForMovedRooms(serviceState, QStringLiteral("10'9"),
                                               QStringLiteral("101"), all, handled));
    EXPECT_EQ(eventTexts(), QStringList{"(error): filter for primary room to clear=10'9 returned 0 records when "
                                        "filtering for otherroomcolumn"});
}

// A move whose rows could not be cleared is not reported as cleared.
TEST_P(PmsTableTest, MovedRoomsThatCouldNotBeClearedReturnFalse) {
    gateway->checkIn(QStringLiteral("101"), {QStringLiteral("Anna"), QStringLiteral("Berg"), 10, QString(), {}});
    gateway->move(QStringLiteral("101"), QStringLiteral("102"));
    Recordset snapshot;
    snapshot.Open(QStringLiteral("SELECT * from vmstable"), connection(), adOpenStatic, adLockReadOnly);

    // The table lost the row of room 101 after the snapshot was read:
    // clearing it finds no row; the row of room 102 is still cleared.
    exec(QStringLiteral("DELETE FROM vmstable WHERE roomno = '101'"));
    EXPECT_FALSE(bClearPMSRecordsForMovedRooms(serviceState, QStringLiteral("101"),
                                               QStringLiteral("102"), snapshot, handled));
    EXPECT_EQ(eventTexts(), QStringList{"(error) no recordset returned in ClearPMSDBUpdatedbyPTCEFlag routine for "
                                        "extension=101"});
    EXPECT_EQ(flags(), QStringList({"102|0", "103|0", "104|0"}));
    EXPECT_EQ(logLines().filter(QStringLiteral("cleared in remote PMS database")).size(), 0);

    // The PMS database cannot be reached for the writes.
    events.entries.clear();
    serviceState.pmsConnection = PMSConnectionString(QStringLiteral("127.0.0.1:1"));
    EXPECT_FALSE(bClearPMSRecordsForMovedRooms(serviceState, QStringLiteral("101"),
                                               QStringLiteral("102"), snapshot, handled));
    EXPECT_EQ(eventTexts().filter(QStringLiteral("Attempt to open remote PMS database failed")).size(), 2);

    // A rooms recordset that was never opened: one trap line, nothing cleared.
    events.entries.clear();
    Recordset closed;
    EXPECT_FALSE(bClearPMSRecordsForMovedRooms(serviceState, QStringLiteral("101"),
                                               QStringLiteral("102"), closed, handled));
    EXPECT_EQ(eventTexts(), QStringList{"(error):3704 (Operation is not allowed when the object is closed.) in "
                                        "procedure bClearPMSRecordsForMovedRooms of Module modPMSFunctions"});
}

TEST_P(PmsTableTest, PrimaryExtensionByRoomNumber) {
    exec(QStringLiteral("UPDATE vmstable SET Extension1='5103' WHERE roomno='103'"));
    gateway->addRooms({QStringLiteral("10'5")});
    EXPECT_EQ(strGetPrimaryExtensionFromRoomNumber(serviceState, QStringLiteral("103")),
              QStringLiteral("5103"));
    EXPECT_EQ(strGetPrimaryExtensionFromRoomNumber(serviceState, QStringLiteral("10'5")),
              QStringLiteral("10'5"));
    EXPECT_EQ(strGetPrimaryExtensionFromRoomNumber(serviceState, QStringLiteral("999")), QString());
    EXPECT_EQ(strGetPrimaryExtensionFromRoomNumber(serviceState, QStringLiteral("103' OR '1'='1")),
              QString());
    EXPECT_TRUE(events.entries.empty());
}

TEST_P(PmsTableTest, QuoteInARoomNumberChangesOnlyItsOwnRow) {
    gateway->addRooms({QStringLiteral("10'1")});
    exec(QStringLiteral("UPDATE vmstable SET upd_by_ptce=1"));
    clearFlag(QStringLiteral("10'1"));
    clearFlag(QStringLiteral("x' OR '1'='1"));
    EXPECT_EQ(flags(), QStringList({"10'1|0", "101|1", "102|1", "103|1", "104|1"}));
}

INSTANTIATE_ON_BOTH_BACKENDS(PmsTableTest);
INSTANTIATE_TEST_SUITE_P(Backends, PmsFileTest, ::testing::Values(TestBackend::Sqlite), backendName);

TEST(PmsConnectionString, NamesOnlyTheServerTheSettingHolds) {
    EXPECT_EQ(PMSConnectionString(QStringLiteral("  pms.hotel.lan ")),
              QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=pms.hotel.lan;DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3"));
    EXPECT_EQ(PMSConnectionString(QStringLiteral("/var/lib/stavio/ptceDB.sqlite")),
              QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=/var/lib/stavio/ptceDB.sqlite;DATABASE=ptceDB;UID=vms;"
                             "PWD=kqt584;OPTION=3"));

    const ConnectionSpec file = parseConnectionString(PMSConnectionString(QStringLiteral("/a.db;SERVER=/b.db")));
    EXPECT_EQ(file.backend, Backend::Sqlite);
    EXPECT_EQ(file.path, QStringLiteral("/a.db;SERVER=/b.db"));
    const ConnectionSpec host =
        parseConnectionString(PMSConnectionString(QStringLiteral("db1;UID=root;PWD=secret;DATABASE=mysql")));
    EXPECT_EQ(host.host, QStringLiteral("db1;UID=root;PWD=secret;DATABASE=mysql"));
    EXPECT_EQ(host.user, QStringLiteral("vms"));
    EXPECT_EQ(host.password, QStringLiteral("kqt584"));
    EXPECT_EQ(host.database, QStringLiteral("ptceDB"));
    EXPECT_EQ(parseConnectionString(PMSConnectionString(QStringLiteral("x}};UID=root"))).host,
              QStringLiteral("x}};UID=root"));
}

class UnreachablePmsTest : public StavioTest {};

TEST_F(UnreachablePmsTest, EachCallReportsTheOpenFailureOnceAndGoesOn) {
    serviceState.pmsConnection = QStringLiteral(
        "DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1:1;DATABASE=ptceDB;UID=vms;PWD=kqt584;"
        "OPTION=3");
    QSet<QString> handled;
    ClearPMSDBUpdatedByPTCEFlag(serviceState, PmsRoom::withExtension(QStringLiteral("101")),
                                handled);
    SetPMSDBUpdatedByVMSFlag(serviceState, QStringLiteral("101"), 1);
    EXPECT_EQ(strGetPrimaryExtensionFromRoomNumber(serviceState, QStringLiteral("101")), QString());
    const QStringList texts = eventTexts();
    ASSERT_EQ(texts.size(), 6);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("(error):2002 (")));
    EXPECT_TRUE(texts[0].endsWith(QStringLiteral(") in procedure ClearPMSDBUpdatedByPTCEFlag of Module modPMSFunctions")));
    EXPECT_EQ(texts[1], QStringLiteral("Attempt to open remote PMS database failed during ClearPMSDBUpdatedByPTCEFlag function."));
    EXPECT_EQ(texts[3], QStringLiteral("Attempt to open remote PMS database failed during SetPMSDBUpdatedByVMSFlag function."));
    EXPECT_EQ(texts[5],
              QStringLiteral("Attempt to open remote PMS database failed during strGetPrimaryExtensionFromRoomNumber function."));
    EXPECT_EQ(texts.filter(QStringLiteral("Attempt to open")).size(), 3);
}

}  // namespace
