#include <gtest/gtest.h>

#include <QFile>

#include "platform/registry.h"
#include "tests/support/Programs.h"
#include "tests/support/TestEnvironment.h"

namespace {

class InstallTest : public StavioTest {
protected:
    void SetUp() override {
        StavioTest::SetUp();
        qputenv("VESSELRUN_UNIT_DIR", path(QStringLiteral("units")).toUtf8());
    }
    void TearDown() override {
        qunsetenv("VESSELRUN_UNIT_DIR");
        StavioTest::TearDown();
    }
    QString unit() const { return path(QStringLiteral("units/OrvantaVoxarenStavio.service")); }
    const QString key = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\OrvantaVoxarenStavio");
};

TEST_F(InstallTest, WithoutArgumentsPrintsTheUsage) {
    const ProgramResult r = runProgram(QStringLiteral("Vesselrun"), {});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral(
                         "Usage:\n"
                         "  Vesselrun install name=<ServiceName> display=<DisplayName> progid=<ProgId> arguments=<optional arguments>\n"
                         "  Vesselrun uninstall name=<ServiceName>\n"
                         "  Vesselrun progid=<ProgId> arguments=<optional arguments>\n"));
    const ProgramResult noProgId = runProgram(QStringLiteral("Vesselrun"), {"install", "name=OrvantaVoxarenStavio"});
    EXPECT_EQ(noProgId.exitCode, 1);
    EXPECT_TRUE(noProgId.out.startsWith(QStringLiteral("Usage:\n")));
    EXPECT_FALSE(QFile::exists(unit()));
}

TEST_F(InstallTest, InstallWritesTheUnitAndTheServiceRecordAndUninstallRemovesThem) {
    const ProgramResult r = runProgram(QStringLiteral("Vesselrun"),
                                       {"install", "name=OrvantaVoxarenStavio", "display=Orvanta Voxaren Stavio",
                                        "progid=OrvantaVoxarenStavio.Stavio", "arguments=quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QString vesselrun = binary(QStringLiteral("Vesselrun"));
    const QString image = QStringLiteral("\"%1\" progid=OrvantaVoxarenStavio.Stavio arguments=\"quiet\"").arg(vesselrun);
    const QString text = readFile(unit());
    EXPECT_TRUE(text.contains(QStringLiteral("Description=Orvanta Voxaren Stavio\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Type=notify\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("ExecStart=") + image + QLatin1Char('\n')));
    EXPECT_TRUE(text.contains(QStringLiteral("Environment=\"STAVIO_REGISTRY=") + path(QStringLiteral("registry.db"))));

    platform::RegistryStore& store = platform::machineRegistry();
    EXPECT_EQ(store.value(key, QStringLiteral("ImagePath"))->text, image);
    EXPECT_EQ(store.value(key, QStringLiteral("DisplayName"))->text, QStringLiteral("Orvanta Voxaren Stavio"));
    EXPECT_EQ(store.value(key, QStringLiteral("Start"))->dword, 3u);

    // Installing again replaces the service.
    EXPECT_EQ(runProgram(QStringLiteral("Vesselrun"), {"install", "name=OrvantaVoxarenStavio", "progid=Other.Control"}).exitCode, 0);
    EXPECT_TRUE(readFile(unit()).contains(QStringLiteral("progid=Other.Control\n")));
    EXPECT_EQ(store.value(key, QStringLiteral("DisplayName"))->text, QStringLiteral("OrvantaVoxarenStavio"));

    const ProgramResult removed = runProgram(QStringLiteral("Vesselrun"), {"uninstall", "name=OrvantaVoxarenStavio"});
    EXPECT_EQ(removed.exitCode, 0);
    EXPECT_FALSE(QFile::exists(unit()));
    EXPECT_FALSE(store.keyExists(key));

    const ProgramResult again = runProgram(QStringLiteral("Vesselrun"), {"uninstall", "name=OrvantaVoxarenStavio"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, QString());  // a missing service is removed silently
}

TEST_F(InstallTest, AnUnwritableUnitDirectoryIsReportedAsFailure) {
    QFile blocker(path(QStringLiteral("units")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    const ProgramResult r = runProgram(QStringLiteral("Vesselrun"),
                                       {"install", "name=OrvantaVoxarenStavio", "progid=OrvantaVoxarenStavio.Stavio"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Failed to create service - "))) << r.out.toStdString();
    EXPECT_FALSE(platform::machineRegistry().keyExists(key));
}

}  // namespace
