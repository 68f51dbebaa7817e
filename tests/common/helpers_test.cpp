#include <gtest/gtest.h>

#include <unistd.h>

#include "common/ErrorTrap.h"
#include "common/VoxarenVersion.h"
#include "common/WorkStationInfo.h"
#include "platform/registry.h"
#include "tests/support/TestEnvironment.h"

namespace {

TEST(VoxarenVersionDecode, VersionAndBuildNumbers) {
    const ServerVersion v = DecodeVoxarenVersion(0x40000, 0x20068);
    EXPECT_EQ(std::make_tuple(v.Major, v.Minor, v.Build, v.Revision), std::make_tuple(4, 0, 2, 104));
    EXPECT_EQ(v.Text, QStringLiteral("4.0(2.104)"));
    // 000A0000: the first four digits end in a letter, so only "000" is read.
    EXPECT_EQ(DecodeVoxarenVersion(0xA0000, 0).Major, 0);
    EXPECT_EQ(DecodeVoxarenVersion(0x00050003, 0x00030010).Text, QStringLiteral("5.3(3.16)"));
    EXPECT_EQ(DecodeVoxarenVersion(0, 0).Text, QStringLiteral("0.0(0.0)"));
}

class VersionCompareTest : public StavioTest {
protected:
    void setVersion(quint32 version, quint32 build) {
        writeServerVersion(version, build);
        ReadVoxarenVersion();
    }
};

TEST_F(VersionCompareTest, FirstUnequalFieldDecides) {
    setVersion(0x40000, 0x20068);
    EXPECT_TRUE(IsVoxarenVersionAtLeast(4, 0, 2, 104));
    EXPECT_FALSE(IsVoxarenVersionAtLeast(4, 0, 2, 105));
    EXPECT_TRUE(IsVoxarenVersionAtLeast(3, 9, 99, 999));
    EXPECT_FALSE(IsVoxarenVersionAtLeast(4, 1, 0, 0));
    setVersion(0x40000, 0x30001);
    EXPECT_TRUE(IsVoxarenVersionAtLeast(4, 0, 2, 104));  // build 3 beats 2 whatever the revision
}

TEST_F(VersionCompareTest, MissingValuesReadAsZero) {
    ReadVoxarenVersion();
    EXPECT_EQ(serverVersion().Text, QStringLiteral("0.0(0.0)"));
    EXPECT_FALSE(IsVoxarenVersionAtLeast(4, 0, 2, 104));
}

class ErrorTrapTest : public StavioTest {};

TEST_F(ErrorTrapTest, ReportsEachFailingStepAndGoesOn) {
    ErrorTrap trap("IService_OnStart", "User Control", "Stavio");
    int ran = 0;
    EXPECT_FALSE(trap.step([] { throw platform::Error(3709, QStringLiteral("The connection cannot be used")); }));
    EXPECT_TRUE(trap.step([&] { ++ran; }));
    EXPECT_FALSE(trap.step([] { throw std::runtime_error("bad_alloc"); }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(trap.errors(), 2);
    EXPECT_EQ(eventTexts(),
              QStringList({QStringLiteral("(error):3709 (The connection cannot be used) in procedure "
                                          "IService_OnStart of User Control Stavio"),
                           QStringLiteral("(error):51 (bad_alloc) in procedure IService_OnStart of User Control Stavio")}));
    EXPECT_EQ(events.entries[0].id, 4);

    QStringList shown;
    environment().errorSink = [&](const QString& m) { shown << m; };
    ErrorTrap("cmdSave_Click", "Form", "frmMain").report(13, QStringLiteral("Type mismatch"));
    EXPECT_EQ(shown, QStringList{QStringLiteral("(error):13 (Type mismatch) in procedure cmdSave_Click of Form frmMain")});
    EXPECT_EQ(events.entries.size(), 2u);
}

TEST(WorkStation, ComputerNameIsTheHostName) {
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    const WorkStationInfo info;
    EXPECT_FALSE(info.ComputerName().isEmpty());
    EXPECT_TRUE(QString::fromLocal8Bit(host).startsWith(info.ComputerName()));
    EXPECT_FALSE(info.ComputerName().contains(QLatin1Char('.')));
    EXPECT_FALSE(info.UserName().isEmpty());
}

}  // namespace
