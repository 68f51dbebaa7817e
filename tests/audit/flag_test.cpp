// Flagging the drifted rooms, and what the real synchronisation sweep then
// makes of them.
#include "tests/audit/AuditFixture.h"

using audit::FlagOutcome;

namespace {

using AuditFlagTest = AuditTest;

TEST_P(AuditFlagTest, FlaggingRaisesTheFlagsOfExactlyTheDriftedRoomsWithARow) {
    checkIn("105", "Eve", "Gray", 0);                                                // occupied, no guest
    gateway->rename(QStringLiteral("104"), QStringLiteral("Dana"), QStringLiteral("Fox"));  // renamed
    unflagAll();
    createGuest(QStringLiteral("999"), QStringLiteral("ROOM1_999"));  // no room at all
    ASSERT_TRUE(flagged().isEmpty());

    const audit::AuditResult result = runAudit();
    ASSERT_EQ(result.drifts.size(), 3u);
    const std::vector<FlagOutcome> outcomes = audit::flagDriftedRooms(pms, result.drifts);
    EXPECT_EQ(outcomes, (std::vector<FlagOutcome>{{QStringLiteral("104"), FlagOutcome::Flagged, QString()},
                                                  {QStringLiteral("105"), FlagOutcome::Flagged, QString()},
                                                  {QStringLiteral("999"), FlagOutcome::NoRow, QString()}}));
    EXPECT_EQ(flagged(), QStringList({QStringLiteral("104"), QStringLiteral("105")}));
    EXPECT_EQ(gateway->rows(QStringLiteral("104")).at(0).updByPtce, 1);
}

// Rooms in the order of their numbers (999 before 1000), and a room with
// several drifts flagged once.
TEST_P(AuditFlagTest, DriftsComeInRoomOrderAndARoomWithSeveralIsFlaggedOnce) {
    gateway->addRooms({QStringLiteral("999"), QStringLiteral("1000")});
    checkIn("1000", "Eve", "Gray", 0);  // occupied, no guest
    checkIn("999", "Flo", "Hu", 0);
    gateway->rename(QStringLiteral("104"), QStringLiteral("Dana"), QStringLiteral("Fox"));  // renamed...
    exec(QStringLiteral("UPDATE vmstable SET UnreadMsgCount=1 WHERE roomno='104'"));         // ...and its lamp differs
    unflagAll();

    const audit::AuditResult result = runAudit();
    QStringList rooms;
    for (const audit::Drift& d : result.drifts) rooms << d.room;
    EXPECT_EQ(rooms, QStringList({QStringLiteral("104"), QStringLiteral("104"), QStringLiteral("999"), QStringLiteral("1000")}));
    EXPECT_EQ(audit::flagDriftedRooms(pms, result.drifts),
              (std::vector<FlagOutcome>{{QStringLiteral("104"), FlagOutcome::Flagged, QString()},
                                        {QStringLiteral("999"), FlagOutcome::Flagged, QString()},
                                        {QStringLiteral("1000"), FlagOutcome::Flagged, QString()}}));
}

TEST_P(AuditFlagTest, APendingMoveIsLeftAloneAndALeftoverPartnerIsDropped) {
    // 101's guest left for 106 and the service has not moved it yet: both
    // rows are flagged and name each other.
    gateway->move(QStringLiteral("101"), QStringLiteral("106"));
    // 102 and 104 swapped long ago; their rows still name each other, their
    // flags are down. Then 102's guest was renamed on the server alone.
    exec(QStringLiteral("UPDATE vmstable SET otherroomno='104' WHERE roomno='102'"));
    exec(QStringLiteral("UPDATE vmstable SET otherroomno='102' WHERE roomno='104'"));
    serverExec(QStringLiteral("UPDATE Subscriber SET FirstName='Bob' WHERE SubscriberObjectID=?"), {idOf("102")});
    ASSERT_EQ(flagged(), QStringList({QStringLiteral("101>106"), QStringLiteral("106>101")}));

    const audit::AuditResult result = runAudit();
    const std::vector<FlagOutcome> outcomes = audit::flagDriftedRooms(pms, result.drifts);
    EXPECT_EQ(outcomes, (std::vector<FlagOutcome>{{QStringLiteral("101"), FlagOutcome::AlreadyFlagged, QString()},
                                                  {QStringLiteral("102"), FlagOutcome::Flagged, QString()},
                                                  {QStringLiteral("106"), FlagOutcome::AlreadyFlagged, QString()}}));
    EXPECT_EQ(flagged(), QStringList({QStringLiteral("101>106"), QStringLiteral("102"), QStringLiteral("106>101")}));
    // 104 has no drift: its row is not touched, leftover partner and all.
    EXPECT_EQ(gateway->rows(QStringLiteral("104")).at(0).otherroomno, QStringLiteral("102"));
}

TEST_P(AuditFlagTest, AfterFlaggingTheSweepMendsTheRoomsThroughItsNormalPath) {
    const QString ann = idOf(QStringLiteral("101"));
    gateway->checkOut(QStringLiteral("101"));                                              // check-out missed
    checkIn("105", "Eve", "Gray", 11);                                                     // check-in missed
    gateway->rename(QStringLiteral("102"), QStringLiteral("Bo"), QStringLiteral("Ekberg"));  // rename missed
    unflagAll();
    const audit::AuditResult before = runAudit();
    ASSERT_EQ(before.drifts.size(), 3u);
    for (const FlagOutcome& o : audit::flagDriftedRooms(pms, before.drifts)) EXPECT_EQ(o.result, FlagOutcome::Flagged);

    clock->advanceMs(60000);
    modPMSFunctions::SweepForUpdates(serviceState, memory);

    // Through the normal path: no "not checked in (out) through normal processes" warning.
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(value(QStringLiteral("SELECT Alias FROM vw_Subscriber WHERE SubscriberObjectID=?"), {ann})
                    .toString()
                    .startsWith(QStringLiteral("OUT_ROOM")));
    EXPECT_EQ(rows(QStringLiteral("SELECT DisplayName, Language FROM vw_Subscriber WHERE DTMFAccessID IN ('102', '105') "
                                  "ORDER BY DTMFAccessID")),
              QStringList({QStringLiteral("Bo Ekberg|2057"), QStringLiteral("Eve Gray|1036")}));
    EXPECT_TRUE(flagged().isEmpty());
    const audit::AuditResult after = runAudit();
    EXPECT_EQ(after.drifts, std::vector<audit::Drift>{});
    EXPECT_EQ(after.guests, 5);
}

TEST_P(AuditFlagTest, AFlaggedRoomWithALeftoverPartnerIsUpdatedNotSwapped) {
    // Ann moved from 101 to 106 and the sweep followed; 106's row still names 101.
    gateway->move(QStringLiteral("101"), QStringLiteral("106"));
    modPMSFunctions::SweepForUpdates(serviceState, memory);
    ASSERT_EQ(gateway->rows(QStringLiteral("106")).at(0).otherroomno, QStringLiteral("101"));
    checkIn("101", "Cyd", "New", 0);
    modPMSFunctions::SweepForUpdates(serviceState, memory);
    const QString ann = idOf(QStringLiteral("106")), cyd = idOf(QStringLiteral("101"));
    ASSERT_FALSE(ann.isEmpty());
    ASSERT_FALSE(cyd.isEmpty());
    // Ann's first name was changed on the server by hand.
    serverExec(QStringLiteral("UPDATE Subscriber SET FirstName='Anne' WHERE SubscriberObjectID=?"), {ann});
    ASSERT_TRUE(flagged().isEmpty());

    const audit::AuditResult result = runAudit();
    ASSERT_EQ(result.drifts.size(), 1u);
    audit::flagDriftedRooms(pms, result.drifts);
    modPMSFunctions::SweepForUpdates(serviceState, memory);

    // Each guest keeps its room; 106's guest got its PMS name back.
    EXPECT_EQ(idOf(QStringLiteral("106")), ann);
    EXPECT_EQ(idOf(QStringLiteral("101")), cyd);
    EXPECT_EQ(value(QStringLiteral("SELECT FirstName FROM vw_Subscriber WHERE SubscriberObjectID=?"), {ann}).toString(),
              QStringLiteral("Ann"));
    EXPECT_EQ(runAudit().drifts, std::vector<audit::Drift>{});
}

INSTANTIATE_ON_BOTH_BACKENDS(AuditFlagTest);

}  // namespace
