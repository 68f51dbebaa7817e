// Directory synchronisation tickets finishing on the server's clock, looked
// at the way the system waits for them: every 2 s, 20 looks at most.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "sim/voxaren/DirectorySync.h"
#include "tests/support/ServerFixture.h"

using namespace platform::db;
using voxaren::TicketPlan;

namespace {

struct Outcome {
    int looks = 0;        // looks until the result showed; 0 when it never did
    QVariant result;
    qint64 waitedMs = 0;
};

class TicketsTest : public VoxarenTest {
protected:
    TicketsTest() { fakeClockStart = QDateTime(QDate(2026, 3, 2), QTime(14, 0)); }
    void SetUp() override {
        VoxarenTest::SetUp();
        guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    }

    QString sync() {
        const QString ticket = QStringLiteral("{5EED0000-0000-4000-8000-%1}").arg(++filed, 12, 10, QLatin1Char('0'));
        Command cmd = command(QStringLiteral("sp_ModifySubscriber"));
        cmd.SetParameter(QStringLiteral("@SubscriberObjectID"), guest);
        cmd.SetParameter(QStringLiteral("@DirectorySync"), 1);
        cmd.SetParameter(QStringLiteral("@DirectorySyncFlags"), qint32(0x80000001));
        cmd.SetParameter(QStringLiteral("@DirectorySyncTicket"), ticket);
        cmd.Execute();
        return ticket;
    }

    Outcome wait(const QString& ticket) {
        Outcome outcome;
        const qint64 start = platform::clock().now().toMSecsSinceEpoch();
        for (int attempt = 1; attempt <= 20; ++attempt) {
            platform::clock().sleepMs(2000);
            Recordset rs = open(QStringLiteral("SELECT * FROM vw_DirectorySyncTicket WHERE Ticket=?"), {ticket});
            if (rs.RecordCount() > 0 && !rs.IsNull(QStringLiteral("result"))) {
                outcome.looks = attempt;
                outcome.result = rs.Value(QStringLiteral("result"));
                break;
            }
        }
        outcome.waitedMs = platform::clock().now().toMSecsSinceEpoch() - start;
        return outcome;
    }

    void plan(const std::vector<TicketPlan>& plans) {
        QSqlDatabase server = db();
        voxaren::planTickets(server, plans);
    }

    QString guest;
    int filed = 0;
};

TEST_F(TicketsTest, UnplannedTicketFinishesWithinASecondWithResultZero) {
    const QString ticket = sync();
    EXPECT_TRUE(value(QStringLiteral("SELECT result FROM vw_DirectorySyncTicket WHERE Ticket=?"), {ticket}).isNull());
    clock->advanceMs(voxaren::kDefaultTicketDelayMs - 1);
    EXPECT_TRUE(value(QStringLiteral("SELECT result FROM vw_DirectorySyncTicket WHERE Ticket=?"), {ticket}).isNull());
    clock->advanceMs(1);
    EXPECT_EQ(value(QStringLiteral("SELECT result FROM vw_DirectorySyncTicket WHERE Ticket=?"), {ticket}).toInt(), 0);
    EXPECT_EQ(wait(sync()).looks, 1);
}

TEST_F(TicketsTest, PlannedTicketsFinishAsPlannedInTheOrderPlanned) {
    plan({TicketPlan::onThirdLook(), TicketPlan::finishAfter(500, 1), TicketPlan::never()});

    const Outcome third = wait(sync());
    EXPECT_EQ(third.looks, 3);
    EXPECT_EQ(third.result.toInt(), 0);
    EXPECT_EQ(third.waitedMs, 6000);

    const Outcome failed = wait(sync());
    EXPECT_EQ(failed.looks, 1);
    EXPECT_EQ(failed.result.toInt(), 1);

    const QString stuck = sync();
    const Outcome never = wait(stuck);
    EXPECT_EQ(never.looks, 0);
    EXPECT_EQ(never.waitedMs, 40000);
    clock->advanceMs(24LL * 3600 * 1000);
    EXPECT_EQ(rows(QStringLiteral("SELECT Ticket, result FROM vw_DirectorySyncTicket WHERE Ticket=?"), {stuck}),
              QStringList{stuck + QStringLiteral("|NULL")});

    // The plans are used up: the next ticket is an ordinary one again.
    const Outcome ordinary = wait(sync());
    EXPECT_EQ(ordinary.looks, 1);
    EXPECT_EQ(ordinary.result.toInt(), 0);
}

TEST_F(TicketsTest, TicketIsFoundWhateverItsCaseAndDeletedByItsProcedure) {
    const QString ticket = sync();
    const QString other = sync();
    EXPECT_EQ(value(QStringLiteral("SELECT Ticket FROM vw_DirectorySyncTicket WHERE Ticket=?"), {ticket.toLower()}),
              ticket);
    Command remove = command(QStringLiteral("sp_DeleteDirectorySyncTicket"));
    remove.SetParameter(QStringLiteral("@Ticket"), ticket.toLower());
    remove.Execute();
    EXPECT_EQ(rows(QStringLiteral("SELECT Ticket FROM vw_DirectorySyncTicket")), QStringList{other});
}

}  // namespace
