#include <gtest/gtest.h>

#include "common/DirectoryRoutines.h"
#include "common/GuestAlias.h"
#include "common/ServiceState.h"
#include "platform/clock.h"
#include "sim/voxaren/DirectorySync.h"
#include "sim/voxaren/ServerAccess.h"
#include "tests/support/ServerFixture.h"

using namespace modPMSFunctions;

namespace {

class GuestAliasTest : public StavioTest {
protected:
    GuestAliasTest() { fakeClockStart = QDateTime(QDate(2000, 1, 1), QTime(0, 0, 5)); }
};

TEST_F(GuestAliasTest, SecondsSinceTheTurnOfTheCentury) {
    EXPECT_EQ(strGenerateAlias(QStringLiteral("1205")), QStringLiteral("ROOM5_1205"));
    clock->set(QDateTime(QDate(2007, 6, 1), QTime(12, 0)));
    EXPECT_EQ(strGenerateAlias(QStringLiteral("1205")), QStringLiteral("ROOM234014400_1205"));
    clock->advanceMs(999);  // within the same second: the same alias
    EXPECT_EQ(strGenerateAlias(QStringLiteral("1205")), QStringLiteral("ROOM234014400_1205"));
    EXPECT_EQ(strGenerateGUID().size(), 38);
}

// Every reader of an alias takes it apart here: the check-out time the archive
// sweep and the audit go by, the dates the guest list shows, the room an
// un-checkout restores.
TEST(GuestAliasParts, BothFormsTakenApart) {
    const GuestAlias guest = GuestAlias::forRoom(QStringLiteral("1201"), QDateTime(QDate(2005, 11, 23), QTime(8, 0)));
    EXPECT_EQ(guest.text(), QStringLiteral("ROOM186048000_1201"));
    EXPECT_FALSE(guest.isArchived());
    const GuestAlias out = guest.archived();
    EXPECT_EQ(out.text(), QStringLiteral("OUT_ROOM186048000_1201"));
    EXPECT_TRUE(out.isArchived() && out.isArchivedGuest());
    for (const GuestAlias& alias : {guest, out}) {
        EXPECT_EQ(alias.seconds(), 186048000);
        EXPECT_EQ(alias.secondsText(), QStringLiteral("186048000"));
        EXPECT_EQ(alias.room(), QStringLiteral("1201"));
    }
    // Ten digits from 2031 on: read as a number.
    EXPECT_EQ(GuestAlias(QStringLiteral("out_room1000000000_7")).seconds(), 1000000000);
    EXPECT_EQ(GuestAlias(QStringLiteral("OUT_ROOM5_12_01")).room(), QStringLiteral("12_01"));
    const GuestAlias noRoom(QStringLiteral("OUT_ROOM186048000"));
    EXPECT_EQ(noRoom.room(), QString());
    EXPECT_EQ(noRoom.secondsText(), std::nullopt);
    EXPECT_EQ(noRoom.seconds(), 186048000);
    // An "_" within the four letters ends no seconds.
    EXPECT_EQ(GuestAlias(QStringLiteral("RO_M5_1201")).secondsText(), std::nullopt);
    EXPECT_EQ(GuestAlias(QStringLiteral("OUT_ROOMx_1201")).seconds(), std::nullopt);
    EXPECT_FALSE(GuestAlias(QStringLiteral("OUT-ROOM5_1")).isArchived());
    EXPECT_TRUE(GuestAlias::namesGuestGreeting(QStringLiteral("ROOM186048000_1201.wav")));
    EXPECT_FALSE(GuestAlias::namesGuestGreeting(QStringLiteral("template.wav")));
}

TEST(LookUpTables, ObjectTypesAndLanguages) {
    EXPECT_EQ(strGetObjectTypeName(3), QStringLiteral("Call Handler"));
    EXPECT_EQ(strGetObjectTypeName(5), QStringLiteral("Inteview Handler"));
    EXPECT_EQ(strGetObjectTypeName(4), QStringLiteral("Unknown"));
    EXPECT_EQ(lngGetLanguageLCID(10), 1031);
    EXPECT_EQ(lngGetLanguageLCID(6), 2057);
    for (int n : {0, 3, 5, 9, 12, -1}) EXPECT_EQ(lngGetLanguageLCID(n), 1033) << n;
}

class DirectoryTest : public VoxarenTest {
protected:
    DirectoryTest() { fakeClockStart = QDateTime(QDate(2026, 12, 6), QTime(7, 5, 9)); }
    void planNext(const voxaren::TicketPlan& plan) {
        QSqlDatabase server = db();
        voxaren::planTickets(server, {plan});
    }
    // Files a ticket the way the guest actions do: through sp_ModifySubscriber.
    QString fileTicket(const QString& subscriber) {
        const QString ticket = strGenerateGUID();
        platform::db::Command cmd = command(QStringLiteral("sp_ModifySubscriber"));
        cmd.SetParameter(QStringLiteral("@SubscriberObjectID"), subscriber);
        cmd.SetParameter(QStringLiteral("@DirectorySync"), 1);
        cmd.SetParameter(QStringLiteral("@DirectorySyncTicket"), ticket);
        cmd.Execute();
        return ticket;
    }
    int tickets() { return value(QStringLiteral("SELECT COUNT(*) FROM vw_DirectorySyncTicket")).toInt(); }
};

const QString kTimeOut = QStringLiteral(
    "Syncronization process failed to complete in a timely fashion.  Check the Syncovar logs in the "
    "\\Corevane\\Logs directory");

TEST_F(DirectoryTest, HotelGuestByPrimaryOrAlternateExtension) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    platform::db::Command alt = command(QStringLiteral("sp_AddAltDTMFID"));
    alt.SetParameter(QStringLiteral("@strGUID"), guest);
    alt.SetParameter(QStringLiteral("@nParentObjType"), 1);
    alt.SetParameter(QStringLiteral("@strAltID"), QStringLiteral("2214"));
    alt.Execute();

    QString reason, name, id, alias;
    EXPECT_TRUE(IsHotelGuest(serviceState.voiceServerConnection, QStringLiteral("2214"), reason,
                             name, id, alias));
    EXPECT_EQ(id, guest);
    EXPECT_EQ(reason, guest);
    EXPECT_EQ(name, QStringLiteral("Ann Lee - GUEST"));
    EXPECT_EQ(alias, QStringLiteral("ROOM1_214"));

    // The conversation name is compared without regard to case.
    QSqlDatabase server = db();
    QSqlQuery(server).exec(QStringLiteral("UPDATE Subscriber SET ConversationName='convhotel'"));
    QString adminReason, adminName, adminId;
    EXPECT_TRUE(IsHotelGuest(voxaren::kLocalConnection, QStringLiteral("214"), adminReason, adminName, adminId));
    EXPECT_EQ(adminId, guest);
}

TEST_F(DirectoryTest, NotAHotelGuestSaysWhyAndLeavesTheOutputs) {
    QString reason, name = QStringLiteral("kept"), id = QStringLiteral("kept"), alias = QStringLiteral("kept");
    EXPECT_FALSE(IsHotelGuest(serviceState.voiceServerConnection, QStringLiteral("214"), reason,
                              name, id, alias));
    EXPECT_EQ(reason, QStringLiteral("Extension cannot be found among subscribers in the database."));
    EXPECT_EQ(name + id + alias, QStringLiteral("keptkeptkept"));

    createGuest(QStringLiteral("215"), QStringLiteral("ROOM1_215"));
    QSqlDatabase server = db();
    QSqlQuery(server).exec(QStringLiteral("UPDATE Subscriber SET ConversationName=NULL"));
    EXPECT_FALSE(IsHotelGuest(serviceState.voiceServerConnection, QStringLiteral("215"), reason,
                              name, id, alias));
    EXPECT_EQ(reason, QStringLiteral("Extension corresponds to a subscriber that is not a hotel guest"));
    EXPECT_FALSE(IsHotelGuest(serviceState.voiceServerConnection, QStringLiteral("9000"), reason,
                              name, id, alias));  // a call handler's extension
    EXPECT_EQ(reason, QStringLiteral("Extension cannot be found among subscribers in the database."));
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(DirectoryTest, UnreachableServerIsTrappedAsNotAGuest) {
    QString reason, name, id, alias;
    serviceState.voiceServerConnection =
        QStringLiteral("Driver={SQL Server};server=ELSEWHERE;database=VoxarenDb");
    EXPECT_FALSE(IsHotelGuest(serviceState.voiceServerConnection, QStringLiteral("214"), reason,
                              name, id, alias));
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_TRUE(eventTexts()[0].endsWith(QStringLiteral(") in procedure IsHotelGuest of Form frmMain")));
}

TEST_F(DirectoryTest, TicketFinishedOnTheThirdLookIsDeleted) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    planNext(voxaren::TicketPlan::onThirdLook());
    const QString ticket = fileTicket(guest);
    const qint64 before = clock->sleptMs();
    EXPECT_TRUE(bWaitForDirectorySync(ticket, serviceState.voiceServerConnection));
    EXPECT_EQ(clock->sleptMs() - before, 6000);
    EXPECT_EQ(tickets(), 0);
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(DirectoryTest, TicketFinishedWithAnotherResultIsFalseAndDeleted) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    planNext(voxaren::TicketPlan::finishAfter(1000, 1));
    EXPECT_FALSE(bWaitForDirectorySync(fileTicket(guest), serviceState.voiceServerConnection));
    EXPECT_EQ(tickets(), 0);
    EXPECT_TRUE(events.entries.empty());  // no time-out message
}

TEST_F(DirectoryTest, TicketThatNeverFinishesTimesOutAndStays) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    planNext(voxaren::TicketPlan::never());
    const qint64 before = clock->sleptMs();
    EXPECT_FALSE(bWaitForDirectorySync(fileTicket(guest), serviceState.voiceServerConnection));
    EXPECT_EQ(clock->sleptMs() - before, 40000);
    EXPECT_EQ(eventTexts(), QStringList{kTimeOut});
    EXPECT_EQ(tickets(), 1);
}

TEST_F(DirectoryTest, AlternateContactRuleOfANewGuest) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    const QString handler =
        value(QStringLiteral("SELECT CallHandlerObjectID FROM vw_Subscriber WHERE SubscriberObjectID=?"), {guest}).toString();
    forceContactRuleUpdate(serviceState.voiceServerConnection, handler, QStringLiteral("214"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Extension FROM ContactRule WHERE ParentObjectID=? AND Alias='Alternate'"), {handler}),
              QStringList{"214"});
    forceContactRuleUpdate(serviceState.voiceServerConnection,
                           QStringLiteral("{00000000-0000-0000-0000-000000000000}"),
                           QStringLiteral("214"));
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("(error) in forceContactRuleUpdate - alternate contact rule for new "
                                                       "subscriber not found.  CallHandlerObjectId={00000000-0000-0000-"
                                                       "0000-000000000000}")});
}

}  // namespace
