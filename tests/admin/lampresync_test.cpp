// "Resynchronise all lamps" of the guest view: the server re-evaluates every
// checked-in guest's lamps, and every occupied room of the PMS table gets its
// lamp state written again.
#include <gtest/gtest.h>

#include <QProgressBar>

#include "admin/core/localize/LanguageStrings.h"
#include "sim/voxaren/MessageStore.h"
#include "tests/admin/GuestViewFixture.h"

namespace {

using modLocalize::englishString;

class LampResyncTest : public GuestViewTest {
protected:
    void SetUp() override {
        GuestViewTest::SetUp();
        pmsTable({QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("103")});
    }
    ptce::RoomRow room(const char* extension) { return pmsRoom(QLatin1String(extension)); }
};

TEST_F(LampResyncTest, EveryCheckedInGuestsLampIsSetFromItsMailboxAndWrittenToThePmsTable) {
    const QString ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
    const QString bo = createGuest(QStringLiteral("102"), QStringLiteral("ROOM86400_102"), QStringLiteral("Bo"));
    const QString gone = archivedGuest(QStringLiteral("103"), 86400, QStringLiteral("Cy"), QStringLiteral("Old"));
    pms->checkIn(QStringLiteral("101"), {QStringLiteral("Ann"), QStringLiteral("Lee"), 0, QString(), {}});
    pms->checkIn(QStringLiteral("102"), {QStringLiteral("Bo"), QStringLiteral("Lee"), 0, QString(), {}});
    // A message waits for Ann and for the archived guest; the PMS shows every lamp dark.
    QSqlDatabase server = db();
    for (const QString& id : {ann, gone})
        voxaren::deliverMessage(server, {id, QStringLiteral("Front desk"), QStringLiteral("Hi"), voxaren::kVoiceMessageClass, {}, {}});
    const int bosWrites = room("102").updByVms;
    ASSERT_TRUE(open());

    std::vector<int> progress;
    auto* bar = view->findChild<QProgressBar*>(QStringLiteral("prgLamps"));
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { progress.push_back(value); });
    notifier->calls.clear();
    click("cmdResyncLamps");

    // The server re-evaluated the checked-in guests' lamps, not the archived one's.
    EXPECT_TRUE(notifier->calls.contains(QStringLiteral("Resync ") + ann));
    EXPECT_TRUE(notifier->calls.contains(QStringLiteral("Resync ") + bo));
    EXPECT_FALSE(notifier->calls.join(QLatin1Char('|')).contains(gone));
    // Each occupied room got its lamp state, lit or dark, written again.
    EXPECT_EQ(room("101").unreadMsgCount, 1);
    EXPECT_EQ(room("102").unreadMsgCount, 0);
    EXPECT_EQ(room("102").updByVms, bosWrites + 1);
    EXPECT_EQ(room("103").updByVms, 0);
    EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(prompts->shown.last(), englishString(1177) + QStringLiteral("2\n") + englishString(1178) + QStringLiteral("2"));
}

TEST_F(LampResyncTest, APmsTableThatCannotBeReadIsToldWithTheServerName) {
    createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
    platform::machineRegistry().setValue(QLatin1String(kSettingsKey), QStringLiteral("Precipia Server Name"),
                                         platform::RegValue::sz(QStringLiteral("127.0.0.1:1")));
    ASSERT_TRUE(open());
    click("cmdResyncLamps");
    EXPECT_EQ(prompts->shown.last(), englishString(1177) + QStringLiteral("1\n\n") + englishString(1179) +
                                         QStringLiteral("127.0.0.1:1"));
    EXPECT_EQ(prompts->kindOf(prompts->shown.last()), Prompt::Kind::Warning);
}

}  // namespace
