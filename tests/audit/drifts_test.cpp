// The audit finds each kind of drift in a hotel the sweep had kept in step,
// and nothing in the clean hotel itself.
#include "tests/audit/AuditFixture.h"

#include "audit/AuditCommand.h"
#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "platform/datefmt.h"

using audit::Drift;
using audit::DriftKind;

namespace {

using AuditDriftTest = AuditTest;

TEST_P(AuditDriftTest, TheHotelTheSweepKeptInStepHasNoDrift) {
    const audit::AuditResult result = runAudit();
    ASSERT_TRUE(result.ok()) << result.failure.toStdString();
    EXPECT_EQ(result.rooms, 6);
    EXPECT_EQ(result.guests, 4);  // 103's archived guest counts
    EXPECT_EQ(result.drifts, std::vector<Drift>{});
}

TEST_P(AuditDriftTest, AnOccupiedRoomWithoutAGuestMailbox) {
    checkIn("105", "Eve", "Gray", 0);
    unflagAll();
    EXPECT_EQ(runAudit().drifts,
              (std::vector<Drift>{{QStringLiteral("105"), DriftKind::OccupiedWithoutGuest,
                                   QStringLiteral("occupied in the PMS by Eve Gray, but no guest mailbox has extension 105"),
                                   true}}));
}

TEST_P(AuditDriftTest, AVacantRoomWhoseGuestWasNotCheckedOut) {
    const QString ann = aliasOf(QStringLiteral("101"));
    gateway->checkOut(QStringLiteral("101"));
    EXPECT_EQ(runAudit().drifts,
              (std::vector<Drift>{{QStringLiteral("101"), DriftKind::VacantWithGuest,
                                   QStringLiteral("vacant in the PMS, but guest %1 (Ann Lee) still has extension 101").arg(ann),
                                   true}}));
}

TEST_P(AuditDriftTest, TwoGuestsOnOneExtension) {
    // The server keeps extensions unique; a directory restored from an older
    // copy need not be. This server's table loses the rule.
    serverExec(QStringLiteral("CREATE TABLE DTMFAccessID_kept AS SELECT * FROM DTMFAccessID"));
    serverExec(QStringLiteral("DROP TABLE DTMFAccessID"));
    serverExec(QStringLiteral("CREATE TABLE DTMFAccessID (DTMFAccessObjectID TEXT COLLATE NOCASE PRIMARY KEY, "
                              "DTMFAccessID TEXT COLLATE NOCASE NOT NULL, ParentObjectID TEXT COLLATE NOCASE NOT NULL, "
                              "ParentObjectType INTEGER NOT NULL, IsPrimaryID INTEGER NOT NULL DEFAULT 0)"));
    serverExec(QStringLiteral("INSERT INTO DTMFAccessID SELECT * FROM DTMFAccessID_kept"));
    // Bo's mailbox answers Ann's room 101 as an alternate, and Dee's 104's
    // secondary extension 2104 as well as Dee's own.
    exec(QStringLiteral("UPDATE vmstable SET Extension2='2104' WHERE roomno='104'"));
    serverExec(QStringLiteral("INSERT INTO DTMFAccessID VALUES ('{A1}', '101', ?, 1, 0)"), {idOf(QStringLiteral("102"))});
    serverExec(QStringLiteral("INSERT INTO DTMFAccessID VALUES ('{A2}', '2104', ?, 1, 0)"), {idOf(QStringLiteral("102"))});
    serverExec(QStringLiteral("INSERT INTO DTMFAccessID VALUES ('{A3}', '2104', ?, 1, 0)"), {idOf(QStringLiteral("104"))});
    // Held twice by one guest is no drift.
    serverExec(QStringLiteral("INSERT INTO DTMFAccessID VALUES ('{A4}', '2102', ?, 1, 0)"), {idOf(QStringLiteral("102"))});
    serverExec(QStringLiteral("INSERT INTO DTMFAccessID VALUES ('{A5}', '2102', ?, 1, 0)"), {idOf(QStringLiteral("102"))});
    const QString ann = aliasOf(QStringLiteral("101")), bo = aliasOf(QStringLiteral("102")), dee = aliasOf(QStringLiteral("104"));
    EXPECT_EQ(runAudit().drifts,
              (std::vector<Drift>{
                  {QStringLiteral("101"), DriftKind::SharedExtension,
                   QStringLiteral("extension 101 is held by 2 guests: %1 (Ann Lee) as primary, %2 (Bo Ek) as alternate")
                       .arg(ann, bo),
                   true},
                  {QStringLiteral("104"), DriftKind::SharedExtension,
                   QStringLiteral("extension 2104 is held by 2 guests: %1 (Bo Ek) as alternate, %2 (Dee Fox) as alternate")
                       .arg(bo, dee),
                   true},
              }));
}

TEST_P(AuditDriftTest, NamesAndLanguageThatDifferFromThePms) {
    gateway->rename(QStringLiteral("101"), QStringLiteral("Anna"), QStringLiteral("Lee"));
    gateway->setLanguage(QStringLiteral("102"), 11);
    // NULL counts as empty: an empty last name on the server matches a NULL one in the PMS...
    exec(QStringLiteral("UPDATE vmstable SET lastname=NULL WHERE roomno='104'"));
    serverExec(QStringLiteral("UPDATE Subscriber SET LastName='' WHERE SubscriberObjectID=?"), {idOf(QStringLiteral("104"))});
    // ...and a NULL PMS language says nothing about the guest's.
    exec(QStringLiteral("UPDATE vmstable SET Language=NULL WHERE roomno='104'"));
    serverExec(QStringLiteral("UPDATE Subscriber SET Language=1041 WHERE SubscriberObjectID=?"), {idOf(QStringLiteral("104"))});
    unflagAll();
    EXPECT_EQ(runAudit().drifts,
              (std::vector<Drift>{
                  {QStringLiteral("101"), DriftKind::GuestDiffers,
                   QStringLiteral("guest %1: first name \"Ann\" on the server, \"Anna\" in the PMS").arg(aliasOf("101")), true},
                  {QStringLiteral("102"), DriftKind::GuestDiffers,
                   QStringLiteral("guest %1: language 2057 on the server, 1036 in the PMS (PMS language 11)")
                       .arg(aliasOf("102")),
                   true},
              }));
}

// What the sweep cannot take from a row is no drift: it could never be mended.
TEST_P(AuditDriftTest, ANameTheSweepCutsAndALanguageThatIsNoNumberAreTakenAsTheSweepTakesThem) {
    if (mysql()) GTEST_SKIP() << "MariaDB's typed columns refuse such values";
    exec(QStringLiteral("UPDATE vmstable SET lastname=?, Language='x1', upd_by_ptce=1 WHERE roomno='101'"),
         {QString(70000, QLatin1Char('L'))});
    modPMSFunctions::SweepForUpdates(serviceState, memory);
    EXPECT_EQ(runAudit().drifts, std::vector<Drift>{});
}

TEST_P(AuditDriftTest, ALampThatDisagreesWithUnreadMsgCount) {
    const auto setLamp = [&](const char* room, int on) {
        serverExec(QStringLiteral("UPDATE NotificationMWI SET MWIOn=? WHERE Alias='MWI-1' AND ParentObjectID=?"),
                   {on, idOf(QLatin1String(room))});
    };
    setLamp("101", 1);  // on, the PMS says off
    exec(QStringLiteral("UPDATE vmstable SET UnreadMsgCount=1 WHERE roomno='102'"));  // off, the PMS says on
    setLamp("104", 1);  // on, and the PMS says so too
    exec(QStringLiteral("UPDATE vmstable SET UnreadMsgCount=1 WHERE roomno='104'"));
    EXPECT_EQ(runAudit().drifts,
              (std::vector<Drift>{
                  {QStringLiteral("101"), DriftKind::LampDiffers,
                   QStringLiteral("lamp \"MWI-1\" of guest %1 is on on the server, UnreadMsgCount is 0 in the PMS")
                       .arg(aliasOf("101")),
                   true},
                  {QStringLiteral("102"), DriftKind::LampDiffers,
                   QStringLiteral("lamp \"MWI-1\" of guest %1 is off on the server, UnreadMsgCount is 1 in the PMS")
                       .arg(aliasOf("102")),
                   true},
              }));

    // A count the lamp sweep never writes disagrees with both states.
    exec(QStringLiteral("UPDATE vmstable SET UnreadMsgCount=2 WHERE roomno='104'"));
    serverExec(QStringLiteral("DELETE FROM NotificationMWI WHERE ParentObjectID=?"), {idOf(QStringLiteral("102"))});
    const std::vector<Drift> drifts = runAudit().drifts;
    ASSERT_EQ(drifts.size(), 3u);
    EXPECT_EQ(drifts[1].detail, QStringLiteral("guest %1 has no lamp \"MWI-1\"").arg(aliasOf("102")));
    EXPECT_EQ(drifts[2].detail, QStringLiteral("lamp \"MWI-1\" of guest %1 is on on the server, UnreadMsgCount is 2 in "
                                               "the PMS")
                                    .arg(aliasOf("104")));
}

TEST_P(AuditDriftTest, AnArchivedGuestPastItsArchiveDays) {
    const QDateTime now = clock->now();
    const auto archive = [&](const char* room, int daysAgo) {
        const QDateTime out = now.addDays(-daysAgo);
        createGuest(QLatin1String(room) + out.toString(QStringLiteral("yyyyMMddHHmmss")),
                    QStringLiteral("OUT_ROOM%1_%2").arg(aliasSeconds(out)).arg(QLatin1String(room)),
                    QStringLiteral("Old"), QLatin1String(room));
    };
    archive("105", 8);
    archive("106", 6);
    archive("1100", 7);  // exactly the archive days: due, as the archive sweep takes it
    const QDateTime eightDays = now.addDays(-8), sevenDays = now.addDays(-7);
    const QString alias105 = QStringLiteral("OUT_ROOM%1_105").arg(aliasSeconds(eightDays));
    const QString alias1100 = QStringLiteral("OUT_ROOM%1_1100").arg(aliasSeconds(sevenDays));
    EXPECT_EQ(runAudit(7).drifts,
              (std::vector<Drift>{
                  {QStringLiteral("105"), DriftKind::ArchiveOverdue,
                   QStringLiteral("archived guest %1 (Old 105 - GUEST) was checked out %2, 8 days ago; "
                                  "\"Mailbox Archive Days\" is 7")
                       .arg(alias105, platform::datefmt::generalDate(eightDays)),
                   true},
                  {QStringLiteral("1100"), DriftKind::ArchiveOverdue,
                   QStringLiteral("archived guest %1 (Old 1100 - GUEST) was checked out %2, 7 days ago; "
                                  "\"Mailbox Archive Days\" is 7")
                       .arg(alias1100, platform::datefmt::generalDate(sevenDays)),
                   false},
              }));
    // Without archive days the archive is not looked at.
    EXPECT_EQ(runAudit(std::nullopt).drifts, std::vector<Drift>{});
}

TEST_P(AuditDriftTest, AGuestWhoseExtensionIsNoRoom) {
    // A guest action cut short leaves a mailbox on a number the PMS does not
    // know, or on none at all (a swap takes both guests' extensions first).
    createGuest(QStringLiteral("2105"), QStringLiteral("ROOM1_2105"), QStringLiteral("Lost"), QStringLiteral("One"));
    exec(QStringLiteral("UPDATE vmstable SET Extension2='2105' WHERE roomno='105'"));
    const QString bo = aliasOf(QStringLiteral("102"));
    serverExec(QStringLiteral("DELETE FROM DTMFAccessID WHERE ParentObjectID=?"), {idOf(QStringLiteral("102"))});
    const std::vector<Drift> drifts = runAudit().drifts;
    EXPECT_EQ(drifts, (std::vector<Drift>{
                          {QStringLiteral("102"), DriftKind::OccupiedWithoutGuest,
                           QStringLiteral("occupied in the PMS by Bo Ek, but no guest mailbox has extension 102"), true},
                          {QStringLiteral("102"), DriftKind::GuestWithoutRoom,
                           QStringLiteral("guest %1 (Bo Ek) has no extension").arg(bo), true},
                          {QStringLiteral("2105"), DriftKind::GuestWithoutRoom,
                           QStringLiteral("guest ROOM1_2105 (Lost One - GUEST) has extension 2105, which is no room's "
                                          "Extension1 (it is a secondary extension of room 105)"),
                           false},
                      }));
}

TEST_P(AuditDriftTest, AnUnreadableSideIsAFailureWithoutDrifts) {
    checkIn("105", "Eve", "Gray", 0);  // a drift that must not be reported
    const audit::AuditResult noPms = audit::findDrifts(
        PMSConnectionString(mysql() ? QStringLiteral("127.0.0.1:1") : path(QStringLiteral("none.sqlite"))),
        voxaren::kLocalConnection, 7);
    EXPECT_TRUE(noPms.failure.startsWith(QStringLiteral("cannot read the PMS table: "))) << noPms.failure.toStdString();
    EXPECT_FALSE(noPms.failure.contains(QLatin1Char('\n')));
    EXPECT_TRUE(noPms.drifts.empty());

    const audit::AuditResult noServer =
        audit::findDrifts(pms, QStringLiteral("Driver={SQL Server};server=elsewhere;database=VoxarenDb"), 7);
    EXPECT_TRUE(noServer.failure.startsWith(QStringLiteral("cannot read the voice-messaging server: ")))
        << noServer.failure.toStdString();
    EXPECT_TRUE(noServer.drifts.empty());
}

INSTANTIATE_ON_BOTH_BACKENDS(AuditDriftTest);

// The sides as the program takes them from the settings key.
class AuditSettingsTest : public StavioTest {
protected:
    void SetUp() override {
        StavioTest::SetUp();
        RegistryAPI::CreateKey(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey));
    }
};

TEST_F(AuditSettingsTest, ArchiveDaysAndPmsServerAreReadAsTheServiceReadsThem) {
    writeSetting(Setting::PrecipiaServerName, QStringLiteral("  pms.hotel  "));
    audit::AuditSides sides = audit::sidesFromSettings(std::nullopt);
    EXPECT_EQ(sides.pmsConnection, PMSConnectionString(QStringLiteral("pms.hotel")));
    EXPECT_EQ(sides.archiveDays, 10);  // the service's default, not the administration's 7
    EXPECT_TRUE(sides.problem.isEmpty());

    writeSetting(Setting::MailboxArchiveDays, 3);
    EXPECT_EQ(audit::sidesFromSettings(std::nullopt).archiveDays, 3);
    EXPECT_EQ(audit::sidesFromSettings(QStringLiteral("other.host")).pmsConnection,
              PMSConnectionString(QStringLiteral("other.host")));

    // More than the service's 16-bit field holds: the service does not read it.
    writeSetting(Setting::MailboxArchiveDays, 40000);
    sides = audit::sidesFromSettings(std::nullopt);
    EXPECT_EQ(sides.archiveDays, std::nullopt);
    EXPECT_TRUE(sides.note.contains(QStringLiteral("40000"))) << sides.note.toStdString();

    writeSetting(Setting::PrecipiaServerName, QStringLiteral(" "));
    EXPECT_EQ(audit::sidesFromSettings(std::nullopt).problem,
              QStringLiteral("no PMS server: the setting \"Precipia Server Name\" is empty"));
}

}  // namespace
