// The synchronisation sweep against the voice-messaging server stand-in and a
// PMS table on SQLite and on MariaDB, written by the gateway stand-in.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

#include "platform/com/stoprequest.h"
#include "platform/db/connection.h"
#include "service/Sweeps.h"
#include "sim/voxaren/Seed.h"
#include "tests/service/SyncSweepFixture.h"

using namespace modPMSFunctions;

namespace {

using SyncSweepTest = SyncSweepFixture;

TEST_P(SyncSweepTest, AFlaggedCheckInBecomesAGuestAndIsUpdatedInTheSameSweep) {
    checkIn("101", "Anna", "O'Neil", 10);
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(guests(), QStringList{QStringLiteral("101|ROOM%1_101|Anna O'Neil|1031").arg(aliasSeconds(QDateTime(
                                        QDate(2026, 3, 2), QTime(14, 5, 9))))});
    EXPECT_TRUE(flagged().isEmpty());
    EXPECT_EQ(lines({"1003", "1020", "1011", "1012"}),
              QStringList({QStringLiteral("1011,SYNC_START,,,Starting sweep for updates in local and remote PMS database."),
                           QStringLiteral("1003,CHECK_IN,101,,New mailbox created for Anna O'Neil"),
                           QStringLiteral("1020,ROOM_UPDATE,,,Updating subscriber in room: 101"),
                           QStringLiteral("1012,SYNC_FINISHED,,,Syncronization sweep complete")}));
    EXPECT_TRUE(logLines().contains(QStringLiteral("1019,SYNC_DEBUG,,,Rooms in PMS database marked as occupied= 1")));
    EXPECT_TRUE(logLines().contains(QStringLiteral("1019,SYNC_DEBUG,,,PMS room record count= 6")));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
    // The flag goes once, after the update: a service stopped between the
    // check-in and the update finds the room flagged and updates it then.
    const QStringList log = logLines();
    const QString clearing = QStringLiteral("1019,SYNC_DEBUG,,,Clearing UpdatedByPTCE flag for extension=101");
    EXPECT_EQ(log.count(clearing), 1);
    EXPECT_GT(log.indexOf(clearing), log.indexOf(QStringLiteral("1020,ROOM_UPDATE,,,Updating subscriber in room: 101")));
}

TEST_P(SyncSweepTest, ACheckInTheGatewayDidNotFlagIsWarnedAboutAndStillMade) {
    checkIn("102", "Bo", "Ek", 10);
    exec(QStringLiteral("UPDATE vmstable SET upd_by_ptce=0"));
    const QString made = alias("102");
    SweepForUpdates(serviceState, memory);
    const QString warning = QStringLiteral("Creating new mailbox for guest in room: 102 This room was not checked in through "
                                           "normal processes.");
    EXPECT_EQ(eventTexts(), QStringList{warning});
    EXPECT_EQ(events.entries[0].severity, platform::EventSeverity::Warning);
    EXPECT_TRUE(logLines().contains(QStringLiteral("1019,SYNC_DEBUG,,,") + warning));
    // Updated all the same (a flag an interrupted sweep cleared leaves such a
    // room too): its language and display name as for a flagged check-in.
    EXPECT_EQ(guests(), QStringList{QStringLiteral("102|%1|Bo Ek|1031").arg(made)});
    EXPECT_TRUE(logLines().contains(QStringLiteral("1020,ROOM_UPDATE,,,Updating subscriber in room: 102")));
}

TEST_P(SyncSweepTest, ANullLanguageLeavesTheGuestsLanguage) {
    checkIn("103", "Cy", "Ma", 6);
    SweepForUpdates(serviceState, memory);
    ASSERT_EQ(guests().value(0).section(QLatin1Char('|'), 3), QStringLiteral("2057"));
    gateway->rename(QStringLiteral("103"), QStringLiteral("Cyd"), QStringLiteral("Ma"));
    exec(QStringLiteral("UPDATE vmstable SET Language=NULL WHERE roomno='103'"));
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(guests().value(0).section(QLatin1Char('|'), 2), QStringLiteral("Cyd Ma|2057"));
}

// A guest checked in and moved before the service saw either: the arrival
// room is checked in and updated, and its flag goes only after the update,
// so a service stopped in between still has the room's language to write.
TEST_P(SyncSweepTest, AGuestMovedBeforeItsCheckInIsCheckedInWhereItArrivedWithItsLanguage) {
    checkIn("101", "Ann", "Lee", 10);
    gateway->move(QStringLiteral("101"), QStringLiteral("102"));
    const QString made = alias("102");
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(guests(), QStringList{QStringLiteral("102|%1|Ann Lee|1031").arg(made)});
    EXPECT_TRUE(flagged().isEmpty());
    const QStringList log = logLines();
    const QString clearing = QStringLiteral("1019,SYNC_DEBUG,,,Clearing UpdatedByPTCE flag for extension=102");
    EXPECT_EQ(log.count(clearing), 1);
    EXPECT_GT(log.indexOf(clearing), log.indexOf(QStringLiteral("1020,ROOM_UPDATE,,,Updating subscriber in room: 102")));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();  // no unmatched rows
}

TEST_P(SyncSweepTest, AMoveFlaggedOnBothRowsMovesOnceAndClearsBoth) {
    checkIn("101", "Ann", "Lee");
    SweepForUpdates(serviceState, memory);
    const QString guest = value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber")).toString();
    leaveVoiceMessage(guest);
    gateway->move(QStringLiteral("101"), QStringLiteral("102"));
    clock->advanceMs(60000);
    const QString made = alias("102");
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(guests(), QStringList{QStringLiteral("102|%1|Ann Lee|1033").arg(made)});
    EXPECT_TRUE(flagged().isEmpty());
    EXPECT_EQ(lines({"1005", "1006", "4"}), QStringList{QStringLiteral("1005,ROOM_MOVE,101,102,Room move completed")});
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Message WHERE RecipientObjectID=?"), {guest}).toInt(), 1);
}

TEST_P(SyncSweepTest, ASwapFlaggedOnBothRowsSwapsOnceAndClearsBoth) {
    gateway->addRooms({QStringLiteral("201"), QStringLiteral("202")});
    checkIn("201", "Ann", "Lee");
    checkIn("202", "Bo", "Ek");
    SweepForUpdates(serviceState, memory);
    const QStringList before = guests();
    gateway->swap(QStringLiteral("201"), QStringLiteral("202"));
    clock->advanceMs(60000);
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(lines({"1005", "1006", "4"}), QStringList{QStringLiteral("1006,ROOM_SWAP,201,202,Room swap completed")});
    EXPECT_TRUE(flagged().isEmpty());
    // Each guest holds the other's room now; their names follow them.
    EXPECT_EQ(guests().value(0).section(QLatin1Char('|'), 0, 0), QStringLiteral("201"));
    EXPECT_TRUE(guests().value(0).endsWith(QStringLiteral("|Bo Ek|1033")));
    EXPECT_TRUE(guests().value(1).endsWith(QStringLiteral("|Ann Lee|1033")));
    EXPECT_EQ(before.size(), 2);
}

TEST_P(SyncSweepTest, AMoveIntoARoomThatStillHoldsAGuestIsSwappedThenTheVacantRoomCheckedOut) {
    checkIn("101", "Ann", "Lee");
    checkIn("102", "Bo", "Ek");
    SweepForUpdates(serviceState, memory);
    // The gateway moves Ann into 102 as if it were free: 102's guest is still on the server.
    exec(QStringLiteral("UPDATE vmstable SET OccStatus='0', otherroomno='102', upd_by_ptce=1 WHERE roomno='101'"));
    exec(QStringLiteral("UPDATE vmstable SET firstname='Ann', lastname='Lee', otherroomno='101', upd_by_ptce=1 "
                        "WHERE roomno='102'"));
    clock->advanceMs(60000);
    events.entries.clear();
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(eventTexts().value(0), QStringLiteral("Error encountered moving primary room=101 to target room=102.  Both "
                                                    "target and source rooms are currently guests which is invalid for a "
                                                    "room move."));
    EXPECT_EQ(lines({"1005", "1006", "1004"}),
              QStringList({QStringLiteral("1006,ROOM_SWAP,102,101,Room swap completed"),
                           QStringLiteral("1004,CHECK_OUT,101,,Mailbox checked out")}));
    // Ann's mailbox holds 102; Bo's, now on 101, is archived.
    const QStringList now = guests();
    ASSERT_EQ(now.size(), 2);
    EXPECT_TRUE(now[0].startsWith(QStringLiteral("10120260302"))) << now[0].toStdString();
    EXPECT_TRUE(now[0].contains(QStringLiteral("|OUT_ROOM")));
    EXPECT_TRUE(now[1].startsWith(QStringLiteral("102|"))) << now[1].toStdString();
    EXPECT_TRUE(now[1].endsWith(QStringLiteral("|Ann Lee|1033")));
    EXPECT_TRUE(flagged().isEmpty());
}

// The gateway writes while a sweep runs (here, as the sweep makes its first
// write): a rename and a move of rooms the sweep is checking in. The sweep
// clears no flag of a row that changed since it read it; the next one
// handles both changes.
TEST_P(SyncSweepTest, ChangesTheGatewayWritesDuringASweepAreHandledByTheNextOne) {
    QStringList rooms;
    for (int room = 401; room <= 411; ++room) rooms << QString::number(room);
    gateway->addRooms(rooms);
    for (int room = 401; room <= 410; ++room)
        gateway->checkIn(QString::number(room), {QStringLiteral("Guest"), QString::number(room), 0, QString(), {}});
    bool written = false;
    environment().setWriteGate([&] {
        if (!written) {
            written = true;
            gateway->rename(QStringLiteral("401"), QStringLiteral("Gwen"), QStringLiteral("401"));
            gateway->move(QStringLiteral("403"), QStringLiteral("411"));
        }
        return true;
    });
    SweepForUpdates(serviceState, memory);
    environment().setWriteGate({});
    ASSERT_TRUE(written);
    const QString moving = value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID='403'")).toString();
    ASSERT_FALSE(moving.isEmpty());
    EXPECT_EQ(flagged(), QStringList({QStringLiteral("401"), QStringLiteral("403"), QStringLiteral("411")}));

    clock->advanceMs(60000);
    SweepForUpdates(serviceState, memory);
    EXPECT_TRUE(flagged().isEmpty()) << flagged().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT DisplayName FROM vw_Subscriber WHERE DTMFAccessID='401'")).toString(),
              QStringLiteral("Gwen 401"));
    // The guest of 403 went to 411 with its mailbox: none archived, none made anew.
    EXPECT_EQ(value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID='411'")).toString(), moving);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Subscriber")).toInt() - value(QStringLiteral("SELECT COUNT(*) FROM Subscriber WHERE ConversationName IS NOT 'ConvHotel'")).toInt(), 10);
}

// A stop asked for in the middle of a sweep of 80 check-ins ends it once the
// room at hand is done, in seconds rather than minutes; the rooms it did not
// reach keep their flags, and the next start checks them in.
TEST_P(SyncSweepTest, AStopEndsTheSweepAfterTheRoomAtHand) {
    QStringList rooms;
    for (int room = 501; room <= 580; ++room) rooms << QString::number(room);
    gateway->addRooms(rooms);
    for (const QString& room : rooms) gateway->checkIn(room, {QStringLiteral("Guest"), room, 0, QString(), {}});
    struct ForgetTheStop {
        ~ForgetTheStop() { platform::com::clearStopRequest(); }
    } forget;
    qint64 stoppedAt = -1;
    int writes = 0;
    environment().setWriteGate([&] {
        if (++writes == 20) {
            platform::com::requestStop();
            stoppedAt = clock->sleptMs();
        }
        return true;
    });
    SweepForUpdates(serviceState, memory);
    environment().setWriteGate({});
    ASSERT_GE(stoppedAt, 0);
    EXPECT_LT(clock->sleptMs() - stoppedAt, 5000);
    const int made = value(QStringLiteral("SELECT COUNT(*) FROM vw_Subscriber WHERE ConversationName='ConvHotel'")).toInt();
    EXPECT_GE(made, 1);
    EXPECT_LE(made, 3);
    // Each guest made is whole: one subscriber a room, no half-made one.
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM vw_Subscriber WHERE DTMFAccessID LIKE '5%'")).toInt(), made);
    EXPECT_EQ(flagged().size(), 80);  // the check-ins made wait for their update
    EXPECT_FALSE(logLines().contains(QStringLiteral("1012,SYNC_FINISHED,,,Syncronization sweep complete")));
    EXPECT_TRUE(eventTexts().contains(QStringLiteral("The service is stopping: the synchronisation sweep ends here, and the "
                                                     "rooms it has not reached are left for the next start.")));

    platform::com::clearStopRequest();
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM vw_Subscriber WHERE ConversationName='ConvHotel'")).toInt(), 80);
    EXPECT_TRUE(flagged().isEmpty());
}

// A room checked out and in again before the service saw either (a short
// stay, an outage): the new guest gets a mailbox of its own, the one before
// is archived with its messages. A new first name alone is a rename.
TEST_P(SyncSweepTest, ARoomThatTurnedOverBetweenTwoSweepsGivesTheNewGuestAMailboxOfItsOwn) {
    checkIn("101", "Ann", "Lee");
    checkIn("102", "Bo", "Ek");
    SweepForUpdates(serviceState, memory);
    const QString ann = value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID='101'")).toString();
    const QString bo = value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID='102'")).toString();
    leaveVoiceMessage(ann);
    gateway->checkOut(QStringLiteral("101"));
    gateway->checkIn(QStringLiteral("101"), {QStringLiteral("cy"), QStringLiteral("MA"), 0, QStringLiteral("4711"), {}});
    gateway->rename(QStringLiteral("102"), QStringLiteral("Bob"), QStringLiteral("ek - GUEST"));
    clock->advanceMs(60000);
    const int before = int(lines({"1003", "1004"}).size());
    SweepForUpdates(serviceState, memory);

    EXPECT_EQ(rows(QStringLiteral("SELECT DisplayName, PWDTMF FROM vw_Subscriber WHERE DTMFAccessID='101' "
                                  "AND SubscriberObjectID<>?"),
                   {ann}),
              QStringList{QStringLiteral("cy MA|4711")});
    EXPECT_TRUE(value(QStringLiteral("SELECT Alias FROM vw_Subscriber WHERE SubscriberObjectID=?"), {ann})
                    .toString()
                    .startsWith(QStringLiteral("OUT_ROOM")));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Message WHERE RecipientObjectID=?"), {ann}).toInt(), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID='102'")).toString(), bo);
    EXPECT_EQ(lines({"1003", "1004"}).mid(before), QStringList({QStringLiteral("1004,CHECK_OUT,101,,Mailbox checked out"),
                                                    QStringLiteral("1003,CHECK_IN,101,,New mailbox created for cy MA")}));
    EXPECT_TRUE(flagged().isEmpty());
}

// A check-in the server refuses (another object holds the room's number)
// clears the room's flag all the same: it is not tried on every sweep.
TEST_P(SyncSweepTest, AFailedCheckInClearsTheRoomsFlag) {
    QSqlDatabase server = db();
    voxaren::addObject(server, voxaren::ObjectKind::CallHandler, QStringLiteral("103"), QStringLiteral("Front Desk"));
    checkIn("103", "Ann", "Lee");
    SweepForUpdates(serviceState, memory);
    EXPECT_TRUE(logLines().contains(QStringLiteral("1003,CHECK_IN,103,,New mailbox creation fialed for Ann Lee")));
    EXPECT_TRUE(flagged().isEmpty());
    // Reported once, as the failure it is: not again as a room without a guest...
    EXPECT_TRUE(eventTexts().filter(QStringLiteral("no corresponding subscriber")).isEmpty())
        << eventTexts().join(QLatin1Char('|')).toStdString();
    // ...nor at every sweep while the conflict stays the same.
    SweepForUpdates(serviceState, memory);
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(eventTexts().filter(QStringLiteral("failed due to a conflict")).size(), 1);
    EXPECT_TRUE(eventTexts().filter(QStringLiteral("not checked in through normal processes")).isEmpty());
}

// A move or swap row names its partner in otherroomno above "0": an empty one names none.
TEST_P(SyncSweepTest, ARowWithAnEmptyOtherRoomIsNoMoveOrSwap) {
    checkIn("101", "Ann", "Lee");
    SweepForUpdates(serviceState, memory);
    exec(QStringLiteral("UPDATE vmstable SET otherroomno='', firstname='Anna', upd_by_ptce=1 WHERE roomno='101'"));
    events.entries.clear();
    SweepForUpdates(serviceState, memory);
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();  // nothing unmatched
    EXPECT_EQ(guests().value(0).section(QLatin1Char('|'), 2, 2), QStringLiteral("Anna Lee"));
    EXPECT_TRUE(flagged().isEmpty());
}

// Each name from its own column: a NULL last name leaves the first name and
// a display name of the first name alone.
TEST_P(SyncSweepTest, ANullLastNameKeepsTheFirstName) {
    checkIn("101", "Ann", "Lee");
    SweepForUpdates(serviceState, memory);
    exec(QStringLiteral("UPDATE vmstable SET lastname=NULL, upd_by_ptce=1 WHERE roomno='101'"));
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(rows(QStringLiteral("SELECT FirstName, LastName, DisplayName FROM vw_Subscriber WHERE DTMFAccessID='101'")),
              QStringList{QStringLiteral("Ann|NULL|Ann")});
}

// A check-out ended before its flag went leaves a vacant room flagged
// without a guest: there is nothing left to do for it but clear the flag.
TEST_P(SyncSweepTest, AFlaggedVacantRoomWithoutAGuestHasItsFlagCleared) {
    exec(QStringLiteral("UPDATE vmstable SET upd_by_ptce=1 WHERE roomno='105'"));
    SweepForUpdates(serviceState, memory);
    EXPECT_TRUE(flagged().isEmpty());
}

TEST_P(SyncSweepTest, APartnerMissingFromTheTableIsReportedAndLeftFlagged) {
    checkIn("101", "Ann", "Lee");
    SweepForUpdates(serviceState, memory);
    events.entries.clear();
    exec(QStringLiteral("UPDATE vmstable SET OccStatus='0', otherroomno='999', upd_by_ptce=1 WHERE roomno='101'"));
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(eventTexts().mid(0, 2),
              QStringList({QStringLiteral("Error encountered during database sweep.  Could not find primary extension for "
                                          "otherroomnumber=999"),
                           QStringLiteral("Error encountered during update sweep.  Unmatched 'otherroomno' columns found "
                                          "for rooms: 101")}));
    EXPECT_TRUE(logLines().contains(
        QStringLiteral("1019,SYNC_DEBUG,,,Error in DB synch process - invalid 'otherroomno' value for PMS extension=101")));
    EXPECT_TRUE(logLines().contains(QStringLiteral("1019,SYNC_DEBUG,,,Error in DB - unmatched 'otherroomno' columns during update")));
    EXPECT_EQ(guests().size(), 1);
    EXPECT_TRUE(guests()[0].startsWith(QStringLiteral("10120260302")));  // phase E checked the vacant room out
}

TEST_P(SyncSweepTest, AnUnreachablePmsWritesOnlyTheStartAndTheError) {
    serviceState.pmsConnection = PMSConnectionString(mysql() ? QStringLiteral("127.0.0.1:1")
                                                             : path(QStringLiteral("none.sqlite")));
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(logLines(), QStringList({QStringLiteral("1011,SYNC_START,,,Starting sweep for updates in local and remote PMS database."),
                                       QStringLiteral("4,ERROR,,,Attempt to open remote PMS database failed during DB sync "
                                                      "attempt.  Aborting sync.")}));
}

INSTANTIATE_ON_BOTH_BACKENDS(SyncSweepTest);

// Rows the gateway should never write (an SQLite table takes what MariaDB's
// typed columns would refuse): each is reported once and harms nothing else.
class DamagedRowsTest : public SyncSweepTest {};

TEST_P(DamagedRowsTest, RowsWithoutOrSharingAnExtensionAreSetAsideAndReportedOnce) {
    exec(QStringLiteral("INSERT INTO vmstable (roomno, Extension1, OccStatus, upd_by_ptce) VALUES ('107', '', '1', 1)"));
    exec(QStringLiteral("INSERT INTO vmstable (roomno, Extension1, OccStatus, firstname, upd_by_ptce) "
                        "VALUES ('108', '105', '1', 'Dup', 1)"));
    // Two rows with nothing to tell them apart: each is reported all the same.
    exec(QStringLiteral("INSERT INTO vmstable (roomno, Extension1, OccStatus, upd_by_ptce) VALUES ('', '', '1', 1)"));
    exec(QStringLiteral("INSERT INTO vmstable (roomno, Extension1, OccStatus, upd_by_ptce) VALUES ('', '', '1', 1)"));
    checkIn("105", "Eve", "Ng");
    checkIn("106", "Finn", "Ode");
    SweepForUpdates(serviceState, memory);
    // In the order of the table's rows.
    EXPECT_EQ(eventTexts(), QStringList({QStringLiteral("PMS row of room '105' set aside: 2 rows share its extension 105."),
                                         QStringLiteral("PMS row of room '107' set aside: it has no extension (Extension1 is empty)."),
                                         QStringLiteral("PMS row of room '108' set aside: 2 rows share its extension 105."),
                                         QStringLiteral("PMS row of room '' (1 of 2 such rows) set aside: it has no extension (Extension1 is empty)."),
                                         QStringLiteral("PMS row of room '' (2 of 2 such rows) set aside: it has no extension (Extension1 is empty).")}));
    for (const auto& e : events.entries) EXPECT_EQ(e.severity, platform::EventSeverity::Warning);
    EXPECT_EQ(guests().size(), 1);  // 106 only
    EXPECT_TRUE(guests()[0].startsWith(QStringLiteral("106|")));
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(eventTexts().size(), 5);  // not again
}

TEST_P(DamagedRowsTest, ALanguageThatIsNoNumberAndANameOfTenKilobytesAreReportedAndTheGuestServed) {
    checkIn("101", "Ann", "Lee");
    exec(QStringLiteral("UPDATE vmstable SET Language='abc', lastname=? WHERE roomno='101'"), {QString(10240, QLatin1Char('L'))});
    checkIn("102", "x'); DROP TABLE vmstable; --", "O'Neil");
    SweepForUpdates(serviceState, memory);
    SweepForUpdates(serviceState, memory);
    EXPECT_EQ(eventTexts(), QStringList({QStringLiteral("The lastname of the guest in room 101 is 10240 characters long: the first 255 are used."),
                                         QStringLiteral("The language of room 101 is no number (abc): it is not used.")}));
    const QStringList now = guests();
    ASSERT_EQ(now.size(), 2);
    EXPECT_EQ(now[0].section(QLatin1Char('|'), 2), QStringLiteral("Ann ") + QString(255, QLatin1Char('L')) + QStringLiteral("|1033"));
    EXPECT_EQ(now[1].section(QLatin1Char('|'), 2), QStringLiteral("x'); DROP TABLE vmstable; -- O'Neil|1033"));
    EXPECT_EQ(gateway->rows().size(), 6u);  // the table is still there
}

INSTANTIATE_TEST_SUITE_P(Backends, DamagedRowsTest, ::testing::Values(TestBackend::Sqlite), backendName);

class SyncSweepRestartTest : public SyncSweepTest {};

TEST_P(SyncSweepRestartTest, AfterThePmsDatabaseRestartedTheNextSweepWorks) {
    REQUIRE_RESTARTABLE_MARIADB();
    checkIn("101", "Ann", "Lee");
    SweepForUpdates(serviceState, memory);
    ASSERT_EQ(guests().size(), 1);
    checkIn("102", "Bo", "Ek");
    const QString restarted = restartTestMariaDb();
    ASSERT_TRUE(restarted.isEmpty()) << restarted.toStdString();
    gateway.reset();  // the gateway's copy of the link went with the server
    events.entries.clear();
    SweepForUpdates(serviceState,
                    memory);  // the thread's link is stale: the sweep's first read must reconnect
    EXPECT_EQ(guests().size(), 2);
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, SyncSweepRestartTest, ::testing::Values(TestBackend::MariaDb), backendName);

}  // namespace
