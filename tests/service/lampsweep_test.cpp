// The lamp sweep: each occupied room's lamp state copied from the server into
// the PMS table, and written only when it changed.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "service/CheckIn.h"
#include "service/Stavio.h"
#include "service/Sweeps.h"
#include "tests/support/ManualTimers.h"
#include "tests/support/GuestFixture.h"

using namespace modPMSFunctions;

namespace {

class LampSweepTest : public GuestFixture {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        serviceState.pmsConnection = PMSConnectionString(path(QStringLiteral("ptceDB.sqlite")));
        gateway.emplace(serviceState.pmsConnection);
        gateway->init(101, 104);
        for (const char* room : {"101", "102", "103"})
            gateway->checkIn(QLatin1String(room), {QStringLiteral("Ann"), QStringLiteral("Lee"), 0, QString(), {}});
        ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
        bo = createGuest(QStringLiteral("102"), QStringLiteral("ROOM1_102"), QStringLiteral("Bo"));
        cy = createGuest(QStringLiteral("103"), QStringLiteral("ROOM1_103"), QStringLiteral("Cy"));
    }
    void TearDown() override {
        gateway.reset();
        GuestFixture::TearDown();
    }
    // "room|UnreadMsgCount|upd_by_vms" of each room.
    QStringList pms() {
        QStringList result;
        for (const ptce::RoomRow& r : gateway->rows())
            result << QStringLiteral("%1|%2|%3").arg(r.extensions[0].value_or(QString())).arg(r.unreadMsgCount).arg(r.updByVms);
        return result;
    }

    std::optional<ptce::GatewayTable> gateway;
    QString ann, bo, cy;
};

TEST_F(LampSweepTest, ALampThatChangedIsWrittenOnceAndPutOutWhenTheMessageIsHeard) {
    leaveVoiceMessage(bo);
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(pms(), QStringList({"101|0|0", "102|1|1", "103|0|0", "104|0|0"}));

    SweepForMWIUpdatesToPMS(serviceState);  // nothing changed: nothing written
    EXPECT_EQ(pms(), QStringList({"101|0|0", "102|1|1", "103|0|0", "104|0|0"}));

    QSqlDatabase server = db();
    voxaren::markMessagesRead(server, bo);
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(pms(), QStringList({"101|0|0", "102|0|2", "103|0|0", "104|0|0"}));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(LampSweepTest, EachOccupiedRoomIsLookedAtWithTenMillisecondsBetween) {
    leaveVoiceMessage(ann);
    const qint64 before = clock->sleptMs();
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(clock->sleptMs() - before, 3 * 10);  // 104 is vacant
    const QStringList lines = logLines();
    EXPECT_EQ(lines.first(), QStringLiteral("1021,MWI_SYNC_START,,,Starting sweep of MWI updates from VM to PMS"));
    EXPECT_TRUE(lines.contains(QStringLiteral("1023,MWI_SYNC_DEBUG,,,PMS room record count=4")));
    EXPECT_TRUE(lines.contains(QStringLiteral("1023,MWI_SYNC_DEBUG,,,Subscriber MWI status set to on for room: 101")));
    EXPECT_EQ(lines.last(), QStringLiteral("1022,MWI_SYNC_FINISHED,,,MWI Syncronization sweep complete"));
}

TEST_F(LampSweepTest, AnOccupiedRoomTheServerDoesNotKnowIsReportedAndTheOthersGoOn) {
    gateway->checkIn(QStringLiteral("104"), {QStringLiteral("Di"), QStringLiteral("Ng"), 0, QString(), {}});
    leaveVoiceMessage(cy);
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("Error in SweepForUpdates routine - Search for occupied room in "
                                                       "Voxaren's database failed to find a match for room number=104. "
                                                       "This is a serious error, please contact Tolvane")});
    EXPECT_EQ(pms(), QStringList({"101|0|0", "102|0|0", "103|1|1", "104|0|0"}));
}

// A count other than 0 or 1 is the gateway's own: left alone, whether the lamp is on or off.
TEST_F(LampSweepTest, ACountOtherThanZeroOrOneIsLeftAlone) {
    QSqlQuery count(platform::db::database(serviceState.pmsConnection));
    ASSERT_TRUE(count.exec(QStringLiteral("UPDATE vmstable SET UnreadMsgCount=2 WHERE roomno IN ('101', '102')")));
    leaveVoiceMessage(bo);
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(pms(), QStringList({"101|2|0", "102|2|0", "103|0|0", "104|0|0"}));
}

// A guest who left with a message unheard leaves the lamp lit in the PMS:
// the next lamp sweep puts it out, once, even with no guest lamp on the server.
TEST_F(LampSweepTest, AVacantRoomsLitLampIsPutOutOnce) {
    QSqlQuery lit(platform::db::database(serviceState.pmsConnection));
    ASSERT_TRUE(lit.exec(QStringLiteral("UPDATE vmstable SET UnreadMsgCount=1 WHERE roomno IN ('103', '104')")));
    ASSERT_TRUE(lit.exec(QStringLiteral("UPDATE vmstable SET OccStatus='0' WHERE roomno='103'")));
    QSqlQuery clear(db());
    ASSERT_TRUE(clear.exec(QStringLiteral("DELETE FROM NotificationMWI")));
    SweepForMWIUpdatesToPMS(serviceState);
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(pms(), QStringList({"101|0|0", "102|0|0", "103|0|1", "104|0|1"}));
}

TEST_F(LampSweepTest, WithoutAnyGuestLampOnlyTheStartAndEndAreWritten) {
    QSqlQuery clear(db());
    ASSERT_TRUE(clear.exec(QStringLiteral("DELETE FROM NotificationMWI")));
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(logLines(), QStringList({QStringLiteral("1021,MWI_SYNC_START,,,Starting sweep of MWI updates from VM to PMS"),
                                       QStringLiteral("1023,MWI_SYNC_DEBUG,,,PMS room record count=4"),
                                       QStringLiteral("1022,MWI_SYNC_FINISHED,,,MWI Syncronization sweep complete")}));
}

TEST_F(LampSweepTest, AnUnreachablePmsEndsTheSweepAfterItsError) {
    serviceState.pmsConnection = PMSConnectionString(path(QStringLiteral("missing.sqlite")));
    SweepForMWIUpdatesToPMS(serviceState);
    EXPECT_EQ(eventTexts().last(),
              QStringLiteral("Attempt to open remote PMS database failed during DB sync attempt.  Aborting sync."));
    EXPECT_FALSE(logLines().last().contains(QStringLiteral("MWI Syncronization sweep complete")));
}

TEST_F(LampSweepTest, TheControlsLampTimerCarriesACheckedInGuestsLampToThePms) {
    gateway->checkIn(QStringLiteral("104"), {QStringLiteral("Di"), QStringLiteral("Ng"), 0, QString(), {}});
    serviceState.settings.SubscriberTemplateAlias = QStringLiteral("DefaultTemplate");
    serviceState.settings.StreamFilesPath = path(QStringLiteral("server/stream files/"));
    ASSERT_TRUE(ActionCheckIn(
        {QStringLiteral("104"), QStringLiteral("Di"), QStringLiteral("Ng"), 1033, QString(), {}},
        serviceState, memory));
    const QString di = value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID='104'")).toString();
    auto timers = std::make_shared<ManualTimerFactory>();
    Stavio control(std::shared_ptr<SystemEnv>(&environment(), [](SystemEnv*) {}), timers);
    // The connections and the timers on, as after a start.
    control.state().voiceServerConnection = serviceState.voiceServerConnection;
    control.state().pmsConnection = serviceState.pmsConnection;
    control.OnContinue();
    const auto lampSweep = [&] {
        for (int tick = 0; tick < 10; ++tick) ASSERT_TRUE(timers->fire(QLatin1String(Stavio::kMWISync)));
    };

    leaveVoiceMessage(di);
    lampSweep();
    EXPECT_EQ(pms().last(), QStringLiteral("104|1|1"));
    QSqlDatabase server = db();
    voxaren::markMessagesRead(server, di);
    lampSweep();
    EXPECT_EQ(pms().last(), QStringLiteral("104|0|2"));
}

}  // namespace
