// Check-out archives a guest's mailbox under a new alias and an archive
// extension; with no archive days it deletes the guest instead.
#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>

#include "common/GuestCheckOut.h"
#include "tests/support/GuestFixture.h"

using namespace modPMSFunctions;

namespace {

const QString kLogsHint = QStringLiteral("You can check the Syncovar logs in the \\corevane\\logs directory for more details");

class CheckOutTest : public GuestFixture {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
        addAlternate(guest, QStringLiteral("2101"));
    }
    QString subscriber(const QString& id) {
        return rows(QStringLiteral("SELECT Alias, UID, DisplayName FROM Subscriber WHERE SubscriberObjectID=?"), {id})
            .value(0, QStringLiteral("(gone)"));
    }
    bool checkOut() {
        return ActionCheckOut(serviceState, guest, QStringLiteral("101"),
                              QStringLiteral("ROOM1_101"), QStringLiteral("Ann Lee - GUEST"));
    }
    QString guest;
};

TEST_F(CheckOutTest, TheGuestIsArchivedUnderANewAliasAndTheCheckOutTime) {
    leaveVoiceMessage(guest);
    const QString alias = QStringLiteral("OUT_ROOM%1_101").arg(aliasSeconds(clock->now()));
    const qint64 before = clock->sleptMs();
    ASSERT_TRUE(checkOut());

    EXPECT_EQ(subscriber(guest), alias + QLatin1Char('|') + alias + QStringLiteral("|Ann Lee - GUEST: CHECKED OUT"));
    EXPECT_EQ(extensions(guest), QStringList{QStringLiteral("10120260302140509|1")});  // the alternate is gone
    EXPECT_EQ(lamps(guest), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|0|0")});
    EXPECT_EQ(notifier->calls, QStringList({QStringLiteral("Set %1 0").arg(guest), QStringLiteral("Set %1 0").arg(guest)}));
    EXPECT_EQ(tickets(), 0);  // waited for and deleted
    EXPECT_EQ(clock->sleptMs() - before, 500 + 2000);  // after removing the extensions, one look for the ticket
    EXPECT_EQ(logLines(), QStringList({
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,Checkout process started"),
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,Forcing MWI off for the room"),
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI being forced to state=False for guest with ObjectID=") + guest,
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,MWI forced off for the room"),
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,New subscriber alias=") + alias,
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,New primary extension=10120260302140509"),
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,Removing alternate extensions"),
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,Alternate extensions removed"),
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,Calling sp_ModifySubscriber"),
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,Call to directory sync done, waiting for sync to complete"),
                              QStringLiteral("1008,CHECK_OUT_DEBUG,101,,Directory sync complete"),
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI being forced to state=False for guest with ObjectID=") + guest,
                          }));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(CheckOutTest, AnUnknownSubscriberStopsAfterTheFirstModification) {
    recordProcedures();
    EXPECT_FALSE(ActionCheckOut(
        serviceState, QStringLiteral("{00000000-0000-0000-0000-000000000000}"),
        QStringLiteral("101"), QStringLiteral("ROOM1_101"), QStringLiteral("Ann Lee - GUEST")));
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("SubscriberCreate stored procedure failed when updating SQL: ")});
    EXPECT_EQ(procedures->of(QStringLiteral("sp_ModifySubscriber")).size(), 1u);
    EXPECT_EQ(subscriber(guest), QStringLiteral("ROOM1_101|ROOM1_101|Ann Lee - GUEST"));
}

TEST_F(CheckOutTest, ASynchronisationThatNeverFinishesFailsTheCheckOutAfterFortySeconds) {
    planNext(voxaren::TicketPlan::never());
    const qint64 before = clock->sleptMs();
    EXPECT_FALSE(checkOut());
    EXPECT_EQ(clock->sleptMs() - before, 500 + 40000);
    EXPECT_EQ(eventTexts().last(), QStringLiteral("The syncronization process with the directory failed for this subscriber "
                                                  "during checkout.\r\n") +
                                       kLogsHint);
    EXPECT_TRUE(subscriber(guest).startsWith(QStringLiteral("OUT_ROOM")));  // renamed all the same
    EXPECT_EQ(notifier->calls.size(), 1);  // the lamps are not switched off a second time
}

TEST_F(CheckOutTest, WithoutArchiveDaysTheGuestIsDeletedAndTheDeletionDecides) {
    serviceState.settings.MailboxArchiveDays = 0;
    serviceState.settings.DebugMode = false;
    EXPECT_TRUE(checkOut());
    EXPECT_EQ(subscriber(guest), QStringLiteral("(gone)"));
    EXPECT_EQ(logLines(), QStringList{QStringLiteral(
                              "1008,CHECK_OUT_DEBUG,101,,Archive days set to 0 - skipping archive of room and deleting it directly")});

    // A deletion whose synchronisation fails is a failed check-out.
    const QString other = createGuest(QStringLiteral("102"), QStringLiteral("ROOM2_102"));
    planNext(voxaren::TicketPlan::finishAfter(500, 1));
    EXPECT_FALSE(ActionCheckOut(serviceState, other, QStringLiteral("102"),
                                QStringLiteral("ROOM2_102"), QStringLiteral("Bo Ek - GUEST")));
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("SQL Sync to directory failed when deleting room 102\r\n") + kLogsHint});
}

// A deleted guest's own greeting file goes with it; a greeting others share stays.
TEST_F(CheckOutTest, ADeletedGuestsOwnGreetingFileGoesWithIt) {
    serviceState.settings.MailboxArchiveDays = 0;
    serviceState.settings.StreamFilesPath = folder() + QStringLiteral("/");
    const QString other = createGuest(QStringLiteral("102"), QStringLiteral("ROOM2_102"));
    const auto greet = [&](const QString& id, const QString& file) {
        QFile(path(file)).open(QIODevice::WriteOnly);
        QSqlQuery rule(db());
        rule.prepare(QStringLiteral("UPDATE MessagingRule SET StreamPath=? WHERE Alias='Standard' AND ParentObjectID="
                                    "(SELECT CallHandlerObjectID FROM Subscriber WHERE SubscriberObjectID=?)"));
        rule.addBindValue(file);
        rule.addBindValue(id);
        ASSERT_TRUE(rule.exec());
    };
    greet(guest, QStringLiteral("ROOM1_101.wav"));
    greet(other, QStringLiteral("Hotel.wav"));
    EXPECT_TRUE(checkOut());
    EXPECT_TRUE(ActionCheckOut(serviceState, other, QStringLiteral("102"),
                               QStringLiteral("ROOM2_102"), QStringLiteral("Bo Ek - GUEST")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("ROOM1_101.wav"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("Hotel.wav"))));
}

TEST_F(CheckOutTest, DeletionAsksForTheEAdminRemovalFromVersionFiveOn) {
    recordProcedures();
    ASSERT_TRUE(DeleteGuest(serviceState, guest, QStringLiteral("101"), QStringLiteral("ROOM1_101"),
                            QStringLiteral("Ann Lee - GUEST")));
    auto calls = procedures->of(QStringLiteral("sp_DeleteSubscriber"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].arguments.value(QStringLiteral("DirectorySync")).toInt(), 1);
    EXPECT_EQ(calls[0].arguments.value(QStringLiteral("DirectorySyncFlags")).toInt(), 3);
    EXPECT_EQ(calls[0].arguments.value(QStringLiteral("ForceRemove")).toInt(), 1);
    EXPECT_FALSE(calls[0].arguments.contains(QStringLiteral("ForceRemoveEAdmin")));
    EXPECT_EQ(calls[0].arguments.value(QStringLiteral("DirectorySyncTicket")).toString().size(), 38);

    setVersion(0x0, 0x50000);  // 5.0.0.0
    const QString other = createGuest(QStringLiteral("102"), QStringLiteral("ROOM2_102"));
    ASSERT_TRUE(DeleteGuest(serviceState, other, QStringLiteral("102"), QStringLiteral("ROOM2_102"),
                            QStringLiteral("Bo Ek - GUEST")));
    calls = procedures->of(QStringLiteral("sp_DeleteSubscriber"));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].arguments.value(QStringLiteral("ForceRemoveEAdmin")).toInt(), 1);
    EXPECT_EQ(logLines().mid(0, 4), QStringList({QStringLiteral("1015,ROOM_DELETE_DEBUG,101,,Starting room delete"),
                                                 QStringLiteral("1015,ROOM_DELETE_DEBUG,101,,Alias=ROOM1_101"),
                                                 QStringLiteral("1015,ROOM_DELETE_DEBUG,101,,Display Name=Ann Lee - GUEST"),
                                                 QStringLiteral("1015,ROOM_DELETE_DEBUG,101,,ObjectID=") + guest}));
}

TEST_F(CheckOutTest, TheAdministrationArchivesQuietlyAndShowsItsFailures) {
    serviceState.settings.MailboxArchiveDays = 0;  // the administration always archives
    QStringList shown;
    const auto show = [&](const QString& text) { shown << text; };
    const CheckOutFailureTexts texts{QStringLiteral("update: "), QStringLiteral("sync: "), QStringLiteral("not synchronised")};
    ASSERT_TRUE(ActionCheckOut(serviceState.voiceServerConnection, guest, QStringLiteral("101"),
                               QStringLiteral("Ann Lee - GUEST"), texts, show));
    EXPECT_TRUE(subscriber(guest).startsWith(QStringLiteral("OUT_ROOM")));
    EXPECT_TRUE(notifier->calls.isEmpty());  // the lamps are left alone
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_TRUE(shown.isEmpty());

    EXPECT_FALSE(ActionCheckOut(serviceState.voiceServerConnection,
                                QStringLiteral("{00000000-0000-0000-0000-000000000000}"),
                                QStringLiteral("101"), QStringLiteral("x"), texts, show));
    planNext(voxaren::TicketPlan::never());
    const QString other = createGuest(QStringLiteral("102"), QStringLiteral("ROOM2_102"));
    EXPECT_FALSE(ActionCheckOut(serviceState.voiceServerConnection, other, QStringLiteral("102"),
                                QStringLiteral("Bo Ek - GUEST"), texts, show));
    EXPECT_EQ(shown, QStringList({QStringLiteral("update: "), QStringLiteral("not synchronised")}));
}

}  // namespace
