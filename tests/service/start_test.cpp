#include <gtest/gtest.h>

#include "common/DiagnosticLogFile.h"
#include "platform/com/hresult.h"
#include "tests/service/StavioFixture.h"

namespace {

using platform::RegValue;
using platform::com::controlError;

class StavioStartTest : public StavioFixture {};

TEST_F(StavioStartTest, MissingSettingsKeyFailsWith1001BeforeAnyLogFile) {
    EXPECT_EQ(control.OnStart(QVariant(QString())), controlError(1001));
    EXPECT_EQ(eventIds(), QStringList({"5", "4"}));
    EXPECT_EQ(eventTexts()[1], QStringLiteral("Failed to read registry keys expected by Stavio server.  Be sure you've run "
                                              "the administration application and correctly enter default values for all "
                                              "settings."));
    EXPECT_FALSE(DiagnosticLogFile::IsOpen());
    EXPECT_TRUE(logFiles().isEmpty());
    EXPECT_FALSE(timers->enabled(QLatin1String(Stavio::kDBSync)));
}

TEST_F(StavioStartTest, OldServerFailsWith1002AfterTheLogStarted) {
    setting("Debug Mode", RegValue::fromDword(0));
    setVersion(0x40000, 0x20067);  // 4.0(2.103)
    EXPECT_EQ(control.OnStart(QVariant(QString())), controlError(1002));
    EXPECT_EQ(eventTexts().last(), QStringLiteral("This application only runs on Voxaren 4.0(3) and later.  Exiting..."));
    ASSERT_EQ(logFiles(), QStringList{"VoxarenStavio_Log_20261206_07_05_09.TXT"});
    const QString log = readFile(DiagnosticLogFile::CurrentLogFile());
    EXPECT_TRUE(log.contains(QStringLiteral("Local Voxaren version=4.0(2.103)\r\n")));
    EXPECT_FALSE(log.contains(QStringLiteral("only runs on")));  // that entry goes to the event log only
    EXPECT_EQ(platform::machineRegistry().value(QLatin1String(kSettingsKey), QStringLiteral("CurrentLogFile"))->text,
              DiagnosticLogFile::CurrentLogFile());
}

TEST_F(StavioStartTest, DatabaseServiceNotRunningFailsWith1004AfterThreeMinutes) {
    setting("Debug Mode", RegValue::fromDword(0));
    sqlState = 1;
    EXPECT_EQ(control.OnStart(QVariant(QString())), controlError(1004));
    EXPECT_EQ(clock->sleptMs(), 190000);  // read at the start and every 10 seconds up to 190 s
    EXPECT_EQ(sqlStateReads, 20);
    const QString message = QStringLiteral("MS SQL service is not started after 3 minutes.  Check your SQL installation "
                                           "and make sure the service is starting properly.");
    EXPECT_EQ(eventTexts().last(), message);
    EXPECT_TRUE(readFile(DiagnosticLogFile::CurrentLogFile()).contains(QStringLiteral(",4,ERROR,,,") + message));
}

TEST_F(StavioStartTest, WaitingForTheDatabaseServiceEndsWhenItRuns) {
    qint32 seconds = 30;
    int reads = 0;
    modServices::setServiceStateSource(QStringLiteral("MSSQLSERVER"), [&] { return ++reads >= 3 ? 4 : 1; });
    EXPECT_TRUE(Stavio::WaitForSqlServer(seconds));
    EXPECT_EQ(clock->sleptMs(), 20000);

    sqlState = 1;
    modServices::setServiceStateSource(QStringLiteral("MSSQLSERVER"), [this] { return sqlState; });
    seconds = -5;
    EXPECT_FALSE(Stavio::WaitForSqlServer(seconds));
    EXPECT_EQ(seconds, 1);  // raised to 1 in the caller's variable too
    EXPECT_EQ(clock->sleptMs(), 30000);  // one more look, 10 seconds later
}

}  // namespace
