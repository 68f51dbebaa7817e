// A guest's message-waiting lamps: the notifier way, the lamp-device table way
// of older servers, the lost notifier handle, and the administration's forms.
#include <gtest/gtest.h>

#include "common/Lamps.h"
#include "tests/support/GuestFixture.h"

using namespace modPMSFunctions;

namespace {

class LampsTest : public GuestFixture {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
        addAlternate(guest, QStringLiteral("2101"));
        addAlternate(guest, QStringLiteral("3101"));
    }
    QString guest;
};

TEST_F(LampsTest, NewerServersSwitchEveryLampThroughTheNotifier) {
    const qint64 before = clock->sleptMs();
    SetMWIsForGuest(serviceState, guest, true);
    EXPECT_EQ(notifier->calls, QStringList{QStringLiteral("Set %1 1").arg(guest)});
    EXPECT_EQ(lamps(guest), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|0|1")});
    SetMWIsForGuest(serviceState, guest, false);
    EXPECT_EQ(lamps(guest), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|0|0")});
    EXPECT_EQ(clock->sleptMs(), before);  // the notifier way waits for nothing
    EXPECT_EQ(logLines(), QStringList({
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI being forced to state=True for guest with ObjectID=") + guest,
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI being forced to state=False for guest with ObjectID=") + guest,
                          }));
}

TEST_F(LampsTest, OlderServersGetOneLampDeviceForEachExtensionReplacingTheOldOnes) {
    setVersion(0x30050);  // 4.0.3.80
    // The guest's devices as another program left them: their alias and switch are kept.
    QSqlQuery change(db());
    ASSERT_TRUE(change.exec(QStringLiteral("UPDATE NotificationMWI SET ParentAlias='ROOM0_101', SwitchID=7")));
    ASSERT_TRUE(change.exec(QStringLiteral("INSERT INTO NotificationMWI (ParentAlias, ParentObjectID, Alias, MWIOn) "
                                           "VALUES ('ROOM0_101', '%1', 'STALE', 1)").arg(guest)));
    leaveVoiceMessage(guest);
    const qint64 before = clock->sleptMs();

    SetMWIsForGuest(serviceState, guest,
                    false);  // the state is not used: the re-evaluation sets the new devices

    EXPECT_EQ(lamps(guest), QStringList({QStringLiteral("MWI-1|X|MWI-1|ROOM0_101|7|1"),
                                         QStringLiteral("ROOM0_1012101|2101|ROOM0_1012101|ROOM0_101|7|1"),
                                         QStringLiteral("ROOM0_1013101|3101|ROOM0_1013101|ROOM0_101|7|1")}));
    EXPECT_EQ(rows(QStringLiteral("SELECT DISTINCT ParentObjectIDType, MWIMediaTypes, MWIMessageTypes FROM "
                                  "NotificationMWI WHERE ParentObjectID=?"),
                   {guest}),
              QStringList{QStringLiteral("1|2|3")});
    EXPECT_EQ(notifier->calls, QStringList{QStringLiteral("Resync %1").arg(guest)});  // no refresh before 4.0.3.89
    EXPECT_EQ(clock->sleptMs() - before, 50 + 200);
    EXPECT_EQ(logLines(), QStringList({
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI devices being set for guest with ObjectID=") + guest,
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI devices added with alias=MWI-1"),
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI devices added with alias=ROOM0_1012101"),
                              QStringLiteral("1007,CHECK_IN_DEBUG,,,MWI devices added with alias=ROOM0_1013101"),
                          }));
}

TEST_F(LampsTest, WithoutDevicesTheSubscribersOwnAliasAndSwitchAreUsed) {
    setVersion(0x30050);
    QSqlQuery change(db());
    ASSERT_TRUE(change.exec(QStringLiteral("DELETE FROM NotificationMWI")));
    ASSERT_TRUE(change.exec(QStringLiteral("UPDATE Subscriber SET SwitchID=3")));
    SetMWIsForGuest(serviceState, guest, true);
    EXPECT_EQ(lamps(guest), QStringList({QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|3|0"),
                                         QStringLiteral("ROOM1_1012101|2101|ROOM1_1012101|ROOM1_101|3|0"),
                                         QStringLiteral("ROOM1_1013101|3101|ROOM1_1013101|ROOM1_101|3|0")}));
}

TEST_F(LampsTest, AGuestWithoutExtensionsIsReportedAndLeftAlone) {
    setVersion(0x30050);
    for (const char* procedure : {"sp_RemoveAltDTMFIDsByOID", "sp_DeleteDTMFAccessID"}) {
        platform::db::Command remove = command(QLatin1String(procedure));
        remove.SetParameter(QLatin1String(procedure[3] == 'R' ? "@strGUID" : "@ParentOID"), guest);
        remove.Execute();
    }
    SetMWIsForGuest(serviceState, guest, true);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("(error): no extensions found for subscriber passed to the "
                                                       "SetMWIsForGuest function.  ObjectId=") +
                                        guest});
    EXPECT_EQ(lamps(guest).size(), 1);
    EXPECT_TRUE(notifier->calls.isEmpty());
}

TEST_F(LampsTest, ALostNotifierHandleIsReportedAndObtainedAgain) {
    serviceState.notifier.reset();
    SetMWIsForGuest(serviceState, guest, true);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("(error): iNotifier handle lost - restablishing.  Procedure "
                                                       "SetMWIsForGuest of Module modPMSFunctions")});
    ASSERT_TRUE(serviceState.notifier);
    EXPECT_EQ(lamps(guest), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|0|1")});

    serviceState.notifier.reset();
    ForceMWISyncForGuest(serviceState, guest);
    EXPECT_EQ(eventTexts().last(), QStringLiteral("(error): iNotifier handle lost - restablishing.  Procedure "
                                                  "ForceMWISyncForGuest of Module modPMSFunctions"));
    EXPECT_EQ(lamps(guest), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|0|0")});  // no unread message
}

TEST_F(LampsTest, TheServerReevaluatesTheLampsAndNewerServersRefreshThem) {
    leaveVoiceMessage(guest);
    SetMWIsForGuest(serviceState, guest, false);
    qint64 before = clock->sleptMs();
    ForceMWISyncForGuest(serviceState, guest);
    EXPECT_EQ(lamps(guest), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|0|1")});
    EXPECT_EQ(notifier->calls.mid(1), QStringList({QStringLiteral("Resync %1").arg(guest), QStringLiteral("Refresh %1 1").arg(guest)}));
    EXPECT_EQ(clock->sleptMs() - before, 50 + 200);

    setVersion(0x30050);
    notifier->calls.clear();
    before = clock->sleptMs();
    ForceMWISyncForGuest(serviceState, guest);
    EXPECT_EQ(notifier->calls, QStringList{QStringLiteral("Resync %1").arg(guest)});
    EXPECT_EQ(clock->sleptMs() - before, 200);
}

TEST_F(LampsTest, TheAdministrationAlwaysSetsUpDevicesQuietlyWithItsOwnNotifier) {
    // A newer server, debug lines on, and no service handle: none of it matters here.
    serviceState.notifier.reset();
    auto own = std::make_shared<RecordingNotifier>(environment().serverObjects->GetNotifier());
    leaveVoiceMessage(guest);
    const qint64 before = clock->sleptMs();
    SetMWIsForGuest(serviceState.voiceServerConnection, own, guest);
    EXPECT_EQ(lamps(guest).size(), 3);
    EXPECT_EQ(lamps(guest).first(), QStringLiteral("MWI-1|X|MWI-1|ROOM1_101|0|1"));
    EXPECT_EQ(own->calls, QStringList{QStringLiteral("Resync %1").arg(guest)});
    EXPECT_EQ(clock->sleptMs() - before, 50 + 200);
    EXPECT_TRUE(logLines().isEmpty()) << logLines().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(eventTexts().isEmpty());
    EXPECT_FALSE(serviceState.notifier);

    own->calls.clear();
    ForceMWISyncForGuest(own, guest);
    EXPECT_EQ(own->calls, QStringList{QStringLiteral("Resync %1").arg(guest)});
}

}  // namespace
