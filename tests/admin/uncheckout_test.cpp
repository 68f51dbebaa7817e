// Un-checkout: an archived guest restored into its room from the guest view,
// with the room's occupant checked out first when the administrator agrees.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include "admin/core/guests/Uncheckout.h"
#include "admin/localize/modLocalize.h"
#include "tests/admin/GuestViewFixture.h"

using modLocalize::englishString;
using Kind = Prompt::Kind;

namespace {

class UncheckoutTest : public GuestViewTest {
protected:
    void SetUp() override {
        GuestViewTest::SetUp();
        ann = archivedGuest(QStringLiteral("1201"), 186000000, QStringLiteral("Ann"), QStringLiteral("Lee"));
    }
    // Opens the view, selects Ann's archived row and presses Un-Checkout.
    void uncheckAnn() {
        ASSERT_TRUE(open());
        select(ann);
        ASSERT_TRUE(button("cmdUncheckout")->isEnabled());
        prompts->shown.clear();
        prompts->titles.clear();
        click("cmdUncheckout");
        EXPECT_FALSE(button("cmdUncheckout")->isEnabled());
    }
    QString confirmRestore() const { return englishString(1028) + QStringLiteral("1201") + englishString(1023); }
    QString annArchived() const {
        return QStringLiteral(
            "OUT_ROOM186000000_1201|OUT_ROOM186000000_1201|Ann Lee - GUEST: CHECKED OUT|120120260301110000");
    }
    QString newAlias() const { return QStringLiteral("ROOM%1_1201").arg(aliasSeconds(clock->now())); }

    QString ann;
};

TEST_F(UncheckoutTest, AnArchivedGuestIsRestoredIntoItsRoom) {
    const QString alias = newAlias();  // the clock stands until the restore waits for the directory
    prompts->answers = {true};
    uncheckAnn();

    EXPECT_EQ(subscriber(ann), alias + QLatin1Char('|') + alias + QStringLiteral("|Ann Lee - GUEST|1201"));
    EXPECT_EQ(prompts->shown, QStringList({confirmRestore(), englishString(1119)}));
    EXPECT_EQ(prompts->titles, QStringList{englishString(1089)});
    EXPECT_EQ(tickets(), 0);  // the synchronisation was waited for
    // The lamp devices are set up anew (keeping their parent alias) for the
    // restored extension, and re-evaluated: by the set-up, then once more.
    EXPECT_EQ(lamps(ann), QStringList{QStringLiteral("MWI-1|X|MWI-1|OUT_ROOM186000000_1201|0|0")});
    EXPECT_EQ(notifier->calls, QStringList({QStringLiteral("Resync ") + ann, QStringLiteral("Resync ") + ann}));
    // The grid was read again: Ann is a checked-in guest of room 1201.
    EXPECT_EQ(cell(ann, "CheckedIn"), QStringLiteral("1"));
    EXPECT_EQ(cell(ann, "Extension"), QStringLiteral("1201"));
    EXPECT_EQ(cell(ann, "DisplayName"), QStringLiteral("Ann Lee - GUEST"));

    EXPECT_EQ(adminLogLines(),
              QStringList({"********************",
                           "Starting uncheckout process for subscriber with ObjectID=" + ann,
                           "    Found user in database, they are a valid guest with alias=OUT_ROOM186000000_1201",
                           "    New extension number = 1201",
                           "    New display name=Ann Lee - GUEST",
                           "    New alias=" + alias,
                           "    User has confirmed they want to uncheckout this guest, starting process...",
                           "    sp_ModifySubscriber stored procedure completed, updating alias and UID for unchecked out guest",
                           "Uncheckout process for this guest is complete",
                           ""}));
}

TEST_F(UncheckoutTest, CancelAtTheConfirmationChangesNothing) {
    uncheckAnn();  // unscripted: Cancel
    EXPECT_EQ(subscriber(ann), annArchived());
    EXPECT_EQ(prompts->shown, QStringList{confirmRestore()});
    EXPECT_EQ(adminLogLines().last(), QStringLiteral("    User opted to bail out on confirmation - uncheckout aborted"));
}

TEST_F(UncheckoutTest, AnOccupiedRoomKeepsItsGuestOnCancel) {
    const QString bo = createGuest(QStringLiteral("1201"), QStringLiteral("ROOM825000000_1201"), QStringLiteral("Bo"),
                                   QStringLiteral("Ek"));
    const QString boBefore = subscriber(bo);
    prompts->answers = {true, false};
    uncheckAnn();
    EXPECT_EQ(prompts->shown,
              QStringList({confirmRestore(), englishString(1113) + QStringLiteral("1201") + englishString(1002) +
                                                 QStringLiteral("Bo Ek - GUEST") + englishString(1021)}));
    EXPECT_EQ(prompts->titles, QStringList({englishString(1089), englishString(1120)}));
    EXPECT_EQ(subscriber(bo), boBefore);
    EXPECT_EQ(subscriber(ann), annArchived());
    EXPECT_EQ(adminLogLines().last(), QStringLiteral("    There is already a guest in that room and the user opted not to "
                                                     "check them out.  Room uncheckout aborted."));
}

TEST_F(UncheckoutTest, AnOccupiedRoomsGuestIsCheckedOutFirstOnOK) {
    const QString bo = createGuest(QStringLiteral("1201"), QStringLiteral("ROOM825000000_1201"), QStringLiteral("Bo"),
                                   QStringLiteral("Ek"));
    const QString alias = newAlias();
    prompts->answers = {true, true};
    uncheckAnn();
    EXPECT_EQ(prompts->shown.last(), englishString(1119));
    EXPECT_TRUE(subscriber(bo).startsWith(QStringLiteral("OUT_") + alias + QLatin1Char('|'))) << subscriber(bo).toStdString();
    EXPECT_TRUE(subscriber(bo).endsWith(QStringLiteral("|Bo Ek - GUEST: CHECKED OUT|120120260302140509")));
    EXPECT_EQ(subscriber(ann), alias + QLatin1Char('|') + alias + QStringLiteral("|Ann Lee - GUEST|1201"));
    EXPECT_TRUE(adminLogLines().contains(
        QStringLiteral("    Checkout of existing guest complete, proceeding with uncheckout operation.")));
}

TEST_F(UncheckoutTest, AFailedCheckOutOfTheOccupantLeavesTheGuestArchived) {
    createGuest(QStringLiteral("1201"), QStringLiteral("ROOM825000000_1201"), QStringLiteral("Bo"), QStringLiteral("Ek"));
    planNext(voxaren::TicketPlan::never());  // the occupant's synchronisation never finishes
    prompts->answers = {true, true};
    uncheckAnn();
    const QString syncFailed = englishString(1111) + QStringLiteral("\r\n") + englishString(1125);
    EXPECT_EQ(prompts->shown.mid(2),
              QStringList({QStringLiteral("Syncronization process failed to complete in a timely fashion.  Check the "
                                          "Syncovar logs in the \\Corevane\\Logs directory"),
                           syncFailed, englishString(1051)}));
    EXPECT_EQ(prompts->kindOf(englishString(1051)), Kind::Error);
    EXPECT_EQ(subscriber(ann), annArchived());
    EXPECT_EQ(adminLogLines().last(),
              QStringLiteral("    The checkout operation failed.  Cannot proceed with uncheckout, aborting."));
}

TEST_F(UncheckoutTest, ARestoreWhoseDirectorySynchronisationFailsSaysSo) {
    planNext(voxaren::TicketPlan::finishAfter(1000, 7));
    prompts->answers = {true};
    uncheckAnn();
    EXPECT_EQ(prompts->shown.mid(1), QStringList{englishString(1112) + QStringLiteral("\r\n") + englishString(1125)});
    // One log line holding a line break.
    EXPECT_EQ(adminLogLines().mid(adminLogLines().size() - 2),
              QStringList({"(error) The syncronization process with the directory failed for this subscriber during "
                           "modification.",
                           "You can check the Syncovar logs in the \\corevane\\logs directory for more details"}));
    EXPECT_TRUE(notifier->calls.isEmpty());  // no lamps for a guest the directory does not know
}

TEST_F(UncheckoutTest, AServerThatRefusesTheRestoreIsReported) {
    environment().setVoiceServer(environment().voiceServerResolver(), std::make_shared<RefusingModify>());
    prompts->answers = {true};
    uncheckAnn();
    const QString error = QStringLiteral("(error):50000 (The subscriber is locked by another administrator) in "
                                         "procedure cmdUncheckout_Click of Form frmGuestView");
    EXPECT_EQ(prompts->shown.mid(1), QStringList({error, englishString(1127) +
                                                             QStringLiteral("The subscriber is locked by another administrator")}));
    EXPECT_EQ(subscriber(ann), annArchived());
    EXPECT_EQ(adminLogLines().last(), QStringLiteral("(error) an error occured in the sp_ModifySubscriber stored "
                                                     "procedure.  Uncheckout operation failed."));
}

TEST_F(UncheckoutTest, ARowThatIsNoLongerAnArchivedGuestIsRefused) {
    ASSERT_TRUE(open());
    select(ann);
    // Meanwhile the guest was restored elsewhere.
    QSqlDatabase server = db();
    QSqlQuery restored(server);
    restored.prepare(QStringLiteral("UPDATE Subscriber SET Alias = 'ROOM825000000_1201' WHERE SubscriberObjectID = ?"));
    restored.addBindValue(ann);
    ASSERT_TRUE(restored.exec());
    prompts->shown.clear();
    click("cmdUncheckout");
    EXPECT_EQ(prompts->shown, QStringList{englishString(1110)});
    EXPECT_FALSE(button("cmdUncheckout")->isEnabled());
    EXPECT_EQ(adminLogLines().last(), englishString(1110));

    // A subscriber with an archive's alias that is no hotel guest is not one either.
    QSqlQuery other(server);
    other.prepare(QStringLiteral("UPDATE Subscriber SET Alias = 'OUT_ROOM825000000_1201', ConversationName = "
                                 "'ConvSubscriber' WHERE SubscriberObjectID = ?"));
    other.addBindValue(ann);
    ASSERT_TRUE(other.exec());
    select(ann);
    prompts->shown.clear();
    click("cmdUncheckout");
    EXPECT_EQ(prompts->shown, QStringList{englishString(1110)});
    EXPECT_EQ(value(QStringLiteral("SELECT Alias FROM Subscriber WHERE SubscriberObjectID=?"), {ann}).toString(),
              QStringLiteral("OUT_ROOM825000000_1201"));

    // And one that is gone altogether.
    QSqlQuery gone(server);
    ASSERT_TRUE(gone.exec(QStringLiteral("DELETE FROM Subscriber")));
    select(ann);
    prompts->shown.clear();
    click("cmdUncheckout");
    EXPECT_EQ(prompts->shown, QStringList{englishString(1046)});
    EXPECT_FALSE(button("cmdUncheckout")->isEnabled());
}

// The Stavio service runs; the PMS table holds the archived guest's room.
class UncheckoutWhileTheServiceRunsTest : public UncheckoutTest {
protected:
    void SetUp() override {
        UncheckoutTest::SetUp();
        environment().setServiceStateSource(QStringLiteral("OrvantaVoxarenStavio"), [] { return 4; });  // running
        pmsTable({QStringLiteral("1201")});
    }
    QString question(int tail) const { return englishString(1180) + QStringLiteral("1201") + englishString(tail); }
};

TEST_F(UncheckoutWhileTheServiceRunsTest, ARoomThePmsShowsVacantIsToldToBeCheckedOutAgain) {
    prompts->answers = {true, false};
    uncheckAnn();
    EXPECT_EQ(prompts->shown, QStringList({confirmRestore(), question(1181)}));
    EXPECT_EQ(subscriber(ann), annArchived());
    EXPECT_EQ(adminLogLines().last(),
              QStringLiteral("    The Stavio service is running and the user opted not to go on - uncheckout aborted"));

    prompts->answers = {true, true};
    uncheckAnn();
    EXPECT_EQ(prompts->shown.last(), englishString(1119));
    EXPECT_TRUE(subscriber(ann).startsWith(QStringLiteral("ROOM"))) << subscriber(ann).toStdString();
    EXPECT_TRUE(runner->calls.empty());  // the service was left running
}

TEST_F(UncheckoutWhileTheServiceRunsTest, AnOccupiedRoomIsRestoredWithTheServiceStoppedAndStartedAgain) {
    pms->checkIn(QStringLiteral("1201"), {QStringLiteral("Ann"), QStringLiteral("Lee"), 0, QString(), {}});
    const QString bo = createGuest(QStringLiteral("1201"), QStringLiteral("ROOM825000000_1201"), QStringLiteral("Bo"),
                                   QStringLiteral("Ek"));
    prompts->answers = {true, true, true};
    uncheckAnn();
    EXPECT_EQ(prompts->shown.mid(0, 2), QStringList({confirmRestore(), question(1182)}));
    EXPECT_EQ(prompts->shown.last(), englishString(1119));
    EXPECT_TRUE(subscriber(ann).startsWith(QStringLiteral("ROOM"))) << subscriber(ann).toStdString();
    EXPECT_TRUE(subscriber(bo).startsWith(QStringLiteral("OUT_ROOM")));
    EXPECT_EQ(runner->commandLines(),
              QStringList({"systemctl stop OrvantaVoxarenStavio", "systemctl start OrvantaVoxarenStavio"}));
    // Stopped before the room's guest was checked out, started after the restore.
    const QStringList log = adminLogLines();
    EXPECT_LT(log.indexOf(QStringLiteral("    Stopping the Stavio service for the uncheckout")),
              log.indexOf(QStringLiteral("    Checkout of existing guest complete, proceeding with uncheckout operation.")));
    EXPECT_LT(log.indexOf(QStringLiteral("    sp_ModifySubscriber stored procedure completed, updating alias and UID for "
                                         "unchecked out guest")),
              log.indexOf(QStringLiteral("    Starting the Stavio service again")));
}

TEST_F(UncheckoutWhileTheServiceRunsTest, AServiceThatWillNotStopOrStartAgainIsToldWithItsReason) {
    pms->checkIn(QStringLiteral("1201"), {QStringLiteral("Ann"), QStringLiteral("Lee"), 0, QString(), {}});
    runner->outcomes.push_back({true, false, 1, QStringLiteral("Access denied")});
    prompts->answers = {true, true};
    uncheckAnn();
    EXPECT_EQ(prompts->shown.last(), englishString(1054) + QStringLiteral("\n\n'systemctl stop OrvantaVoxarenStavio' "
                                                                          "ended with exit status 1: Access denied"));
    EXPECT_EQ(subscriber(ann), annArchived());
    EXPECT_EQ(runner->calls.size(), 1u);  // not started: it never stopped

    runner->outcomes = {{true, false, 0, {}}, {true, false, 1, QStringLiteral("Access denied")}};
    prompts->answers = {true, true};
    uncheckAnn();
    EXPECT_TRUE(subscriber(ann).startsWith(QStringLiteral("ROOM")));
    EXPECT_EQ(prompts->shown.mid(2), QStringList({englishString(1185) + QStringLiteral("\n\n'systemctl start "
                                                                                       "OrvantaVoxarenStavio' ended with "
                                                                                       "exit status 1: Access denied"),
                                                  englishString(1119)}));
}

TEST_F(UncheckoutTest, TheNameOfARestoredGuest) {
    EXPECT_EQ(restoredDisplayName(QStringLiteral("Ann"), QStringLiteral("Lee")), QStringLiteral("Ann Lee - GUEST"));
    EXPECT_EQ(restoredDisplayName(QString(), QString()), QStringLiteral("  - GUEST"));
}

}  // namespace
