// A guest action ended after any of its steps (every write to the server,
// the PMS table, the registry store and every lamp call, in turn) and the
// service started again: each guest then holds its own mailbox, messages and
// lamp in its own room, the action was made once, and no flag stays raised.
#include <gtest/gtest.h>

#include "common/ServiceState.h"
#include "service/Sweeps.h"
#include "sim/voxaren/DirectorySync.h"
#include "sim/voxaren/MessageStore.h"
#include "tests/service/SyncSweepFixture.h"

using namespace modPMSFunctions;

namespace {

class InterruptedActionTest : public SyncSweepFixture {
protected:
    // Each round works on rooms of its own, so the rounds share one server.
    QString room(int round, int k) const { return QString::number(300 + 3 * round + k); }
    QString guestName(const char* first, int round) const { return QStringLiteral("%1 %2").arg(QLatin1String(first)).arg(round); }

    // Checks a guest in and lets the service make its mailbox, then leaves
    // it a message that names it.
    // With `updatePending`, the mailbox is made as a check-in makes it and the
    // row keeps its flag: the names and language are still to be written.
    void settledGuest(const QString& at, const char* first, int round, int language = 0, bool updatePending = false) {
        gateway->addRooms({at});
        gateway->checkIn(at, {QLatin1String(first), QString::number(round), language, QString(), {}});
        if (updatePending)
            createGuest(at, QStringLiteral("ROOM1_") + at, QLatin1String(first), QString::number(round));
        else
            SweepForUpdates(serviceState, memory);
        QSqlDatabase server = db();
        voxaren::NewMessage message;
        message.recipientObjectId = value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID=?"), {at}).toString();
        message.senderName = QStringLiteral("Front Desk");
        message.subject = QStringLiteral("For ") + guestName(first, round);
        voxaren::deliverMessage(server, message);
    }

    // A sweep as a service ended at its n-th write runs it: that write and
    // every later one are refused. Then the service starts again (nothing
    // it held in memory is left) and sweeps twice, and the lamps are swept.
    // False when the sweep made fewer than n writes: there was nothing left to end.
    bool sweepEndedAtWrite(int n) {
        int writes = 0;
        environment().setWriteGate([&] { return ++writes <= n; });
        SweepForUpdates(serviceState, memory);
        environment().setWriteGate({});
        memory = ServiceMemory();
        serviceState.guestActions = GuestActionJournal();
        clock->advanceMs(60000);
        events.entries.clear();
        SweepForUpdates(serviceState, memory);
        SweepForUpdates(serviceState, memory);
        SweepForMWIUpdatesToPMS(serviceState);
        return writes > n;
    }

    // Ends the action at each of its writes in turn, each time in rooms of its own.
    void atEveryStep(const std::function<void(int round)>& arrange, const std::function<void(int round)>& check) {
        for (int round = 0; round < 100; ++round) {
            SCOPED_TRACE(QStringLiteral("ended at write %1").arg(round).toStdString());
            arrange(round);
            const bool ended = sweepEndedAtWrite(round);
            check(round);
            EXPECT_TRUE(flagged().isEmpty()) << flagged().join(QLatin1Char(' ')).toStdString();
            for (const RecordedEvent& e : events.entries)
                EXPECT_NE(e.severity, platform::EventSeverity::Error) << e.text.toStdString();
            if (!ended || HasFailure()) return;
        }
        FAIL() << "the action never ran to its end";
    }

    // The messages of the hotel guest holding the room, or "(no guest)".
    QStringList mailboxOn(const QString& at) {
        if (value(QStringLiteral("SELECT COUNT(*) FROM vw_Subscriber WHERE DTMFAccessID=?"), {at}).toInt() != 1)
            return {QStringLiteral("(no guest)")};
        return rows(QStringLiteral("SELECT m.Subject FROM Message m JOIN vw_Subscriber s ON "
                                   "m.RecipientObjectID = s.SubscriberObjectID WHERE s.DTMFAccessID=? "
                                   "AND s.ConversationName='ConvHotel' ORDER BY m.Subject"),
                    {at});
    }
    // "display name|language" of the hotel guest on the room.
    QString guestOn(const QString& at) {
        return rows(QStringLiteral("SELECT DisplayName, Language FROM vw_Subscriber WHERE DTMFAccessID=?"), {at}).join(QLatin1Char(' '));
    }
    // The room's lamp as the PMS shows it.
    int pmsLamp(const QString& at) { return gateway->rows(at).front().unreadMsgCount; }
    int archived() { return value(QStringLiteral("SELECT COUNT(*) FROM Subscriber WHERE Alias LIKE 'OUT_%'")).toInt(); }
};

TEST_P(InterruptedActionTest, ASwapEndedAtAnyStepGivesEachGuestTheOthersRoomOnce) {
    atEveryStep(
        [&](int round) {
            settledGuest(room(round, 1), "Ben", round, 6);
            // Ava's check-in is not updated yet: the swap must not lose that either.
            settledGuest(room(round, 0), "Ava", round, 10, true);
            gateway->swap(room(round, 0), room(round, 1));
        },
        [&](int round) {
            EXPECT_EQ(mailboxOn(room(round, 0)), QStringList{QStringLiteral("For ") + guestName("Ben", round)});
            EXPECT_EQ(mailboxOn(room(round, 1)), QStringList{QStringLiteral("For ") + guestName("Ava", round)});
            // The names and language the PMS shows for each room, as after a swap the sweep finished itself.
            EXPECT_EQ(guestOn(room(round, 0)), guestName("Ben", round) + QStringLiteral("|2057"));
            EXPECT_EQ(guestOn(room(round, 1)), guestName("Ava", round) + QStringLiteral("|1031"));
            EXPECT_EQ(pmsLamp(room(round, 0)), 1);
            EXPECT_EQ(pmsLamp(room(round, 1)), 1);
        });
}

TEST_P(InterruptedActionTest, AMoveEndedAtAnyStepTakesTheGuestsMailboxAndLitLampToTheNewRoom) {
    atEveryStep(
        [&](int round) {
            settledGuest(room(round, 0), "Ava", round);
            gateway->addRooms({room(round, 1)});
            gateway->move(room(round, 0), room(round, 1));
        },
        [&](int round) {
            EXPECT_EQ(mailboxOn(room(round, 1)), QStringList{QStringLiteral("For ") + guestName("Ava", round)});
            EXPECT_EQ(mailboxOn(room(round, 0)), QStringList{QStringLiteral("(no guest)")});
            EXPECT_EQ(pmsLamp(room(round, 1)), 1);
            EXPECT_EQ(archived(), 0);
        });
}

TEST_P(InterruptedActionTest, ACheckOutEndedAtAnyStepArchivesTheMailboxOnceAndPutsTheLampOut) {
    atEveryStep(
        [&](int round) {
            settledGuest(room(round, 0), "Ava", round);
            SweepForMWIUpdatesToPMS(serviceState);
            ASSERT_EQ(pmsLamp(room(round, 0)), 1);
            gateway->checkOut(room(round, 0));
        },
        [&](int round) {
            EXPECT_EQ(mailboxOn(room(round, 0)), QStringList{QStringLiteral("(no guest)")});
            EXPECT_EQ(archived(), round + 1);
            // Archived once, with her message: not renamed twice, not made anew.
            EXPECT_EQ(rows(QStringLiteral("SELECT m.Subject FROM Message m JOIN vw_Subscriber s ON "
                                          "m.RecipientObjectID = s.SubscriberObjectID WHERE s.Alias LIKE 'OUT_ROOM%' "
                                          "AND s.DisplayName=? AND s.DTMFAccessID LIKE ?"),
                           {guestName("Ava", round) + QStringLiteral(": CHECKED OUT"), room(round, 0) + QLatin1Char('%')}),
                      QStringList{QStringLiteral("For ") + guestName("Ava", round)});
            EXPECT_EQ(pmsLamp(room(round, 0)), 0);
        });
}

TEST_P(InterruptedActionTest, ACheckInEndedAtAnyStepGivesTheRoomOneCompleteHotelGuest) {
    atEveryStep(
        [&](int round) {
            gateway->addRooms({room(round, 0)});
            gateway->checkIn(room(round, 0), {QStringLiteral("Ava"), QString::number(round), 10, QString(),
                                              {room(round, 0) + QLatin1Char('9')}});
        },
        [&](int round) {
            const QString at = room(round, 0);
            EXPECT_EQ(rows(QStringLiteral("SELECT ConversationName, DisplayName, Language FROM vw_Subscriber WHERE DTMFAccessID=?"),
                           {at}),
                      QStringList{QStringLiteral("ConvHotel|Ava %1|1031").arg(round)});
            EXPECT_EQ(rows(QStringLiteral("SELECT d.DTMFAccessID FROM vw_DTMFAccessID d JOIN vw_Subscriber s ON "
                                          "d.ParentObjectID = s.SubscriberObjectID WHERE s.DTMFAccessID=? "
                                          "AND d.IsPrimaryID=0"),
                           {at}),
                      QStringList{at + QLatin1Char('9')});
        });
}

// A check-in ended after its guest became a hotel guest, whose
// synchronisation then does not finish in time: the guest is there, so the
// sweep goes on (as after any check-in) instead of waiting for it.
TEST_P(InterruptedActionTest, AFinishedCheckInWhoseSynchronisationIsLateDoesNotHoldTheSweep) {
    gateway->checkIn(QStringLiteral("101"), {QStringLiteral("Ava"), QStringLiteral("Lee"), 0, QString(), {}});
    createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"), QStringLiteral("Ava"), QStringLiteral("Lee"));
    GuestActionNote note;
    note.kind = GuestActionNote::Kind::CheckIn;
    note.aliases = {QStringLiteral("ROOM1_101")};
    note.room = QStringLiteral("101");
    ASSERT_TRUE(GuestActionJournal::write(note));
    planNext(voxaren::TicketPlan::never());
    SweepForUpdates(serviceState, memory);
    EXPECT_TRUE(logLines().contains(QStringLiteral("1012,SYNC_FINISHED,,,Syncronization sweep complete")));
    EXPECT_FALSE(GuestActionJournal::noted());
    EXPECT_TRUE(flagged().isEmpty());
}

INSTANTIATE_ON_BOTH_BACKENDS(InterruptedActionTest);

}  // namespace
