// The road of a check-in through the real programs: the gateway stand-in
// marks a room occupied, the service's next synchronisation sweep makes the
// guest's mailbox, and a voice message left for the guest reaches the PMS
// table at the next lamp sweep. The timers run twenty times faster.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <csignal>

#include "common/PMSConnection.h"
#include "platform/db/recordset.h"
#include "platform/scm/servicestatus.h"
#include "sim/voxaren/ServerAccess.h"
#include "tests/e2e/E2EFixture.h"

using namespace platform::db;

namespace {

class HotelDayEndToEnd : public EmbeddedSystemTest {
protected:
    void SetUp() override {
        EmbeddedSystemTest::SetUp();
        env.insert(QStringLiteral("STAVIO_TIMER_SCALE"), QStringLiteral("0.05"));
        voxaren::installServerAccess(environment());
        pms = PMSConnectionString(path(QStringLiteral("ptceDB.sqlite")));
    }
    // One column of room 214's row.
    QVariant room214(const char* column) {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM vmstable WHERE roomno='214'"), pms, adOpenStatic, adLockReadOnly);
        return rs.IsEOF() ? QVariant() : rs.Value(QLatin1String(column));
    }
    // The hotel guest on extension 214 as "alias|display name|language", or "".
    QString guest214() {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT Alias, DisplayName, Language FROM vw_Subscriber WHERE DTMFAccessID='214' "
                               "AND ConversationName='ConvHotel'"),
                voxaren::kLocalConnection, adOpenStatic, adLockReadOnly);
        if (rs.IsEOF()) return QString();
        return rs.Text(QStringLiteral("Alias")) + QLatin1Char('|') + rs.Text(QStringLiteral("DisplayName")) +
               QLatin1Char('|') + rs.Text(QStringLiteral("Language"));
    }
    QString pms;
};

TEST_F(HotelDayEndToEnd, ACheckInBecomesAMailboxAndAVoiceMessageLightsThePmsLamp) {
    ASSERT_EQ(run(QStringLiteral("ptce-sim"), {"--server", path(QStringLiteral("ptceDB.sqlite")), "init", "--rooms", "214-214"}), 0);
    ASSERT_EQ(run(QStringLiteral("ptce-sim"), {"--server", path(QStringLiteral("ptceDB.sqlite")), "checkin", "214", "--first",
                                               "Anna", "--last", "Berg", "--lang", "10"}),
              0);
    ASSERT_EQ(room214("upd_by_ptce").toInt(), 1);
    const QDateTime started = QDateTime::currentDateTime();
    startService();
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING)) << service.readAll().toStdString();

    // The next synchronisation sweep (every 3 s here) makes the mailbox and
    // rewrites its name without the suffix in the same sweep.
    ASSERT_TRUE(waitUntil([&] { return guest214().endsWith(QStringLiteral("|Anna Berg|1031")); }, 30000))
        << guest214().toStdString() << "\n" << readFile(currentLogFile()).toStdString();
    const QString alias = guest214().section(QLatin1Char('|'), 0, 0);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^ROOM(\\d+)_214$")).match(alias);
    ASSERT_TRUE(m.hasMatch()) << alias.toStdString();
    const qint64 base = QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC).secsTo(QDateTime(started.date(), started.time(), Qt::UTC));
    EXPECT_GE(m.captured(1).toLongLong(), base);
    EXPECT_LE(m.captured(1).toLongLong(), base + 60);
    ASSERT_TRUE(waitUntil([&] { return room214("upd_by_ptce").toInt() == 0; }, 10000));
    const QString log = readFile(currentLogFile());
    EXPECT_TRUE(log.contains(QStringLiteral(",1003,CHECK_IN,214,,New mailbox created for Anna Berg\r\n"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral(",1020,ROOM_UPDATE,,,Updating subscriber in room: 214\r\n")));

    // A caller leaves a message: the lamp sweep (every 15 s here) lights the PMS lamp.
    ASSERT_EQ(run(QStringLiteral("voxaren-sim"), {"leave-message", "214", "--from", "Front Desk"}), 0);
    EXPECT_TRUE(waitUntil([&] { return room214("UnreadMsgCount").toInt() == 1; }, 40000))
        << readFile(currentLogFile()).toStdString();
    EXPECT_EQ(room214("upd_by_vms").toInt(), 1);

    ASSERT_TRUE(signalService(SIGTERM));
    ASSERT_TRUE(service.waitForFinished(10000));
    EXPECT_EQ(service.exitCode(), 0);
}

}  // namespace
