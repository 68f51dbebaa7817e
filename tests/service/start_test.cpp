#include <gtest/gtest.h>

#include "common/DiagnosticLogFile.h"
#include "common/ServiceState.h"
#include "platform/com/hresult.h"
#include "platform/com/stoprequest.h"
#include "tests/service/StavioFixture.h"

namespace {

using platform::RegValue;
using platform::com::controlError;

class StavioStartTest : public StavioFixture {};

TEST_F(StavioStartTest, MissingSettingsKeyFailsWith1001BeforeAnyLogFile) {
    EXPECT_EQ(control->OnStart(QVariant(QString())), controlError(1001));
    EXPECT_EQ(eventIds(), QStringList({"5", "4"}));
    EXPECT_EQ(eventTexts()[1], QStringLiteral("Failed to read registry keys expected by Stavio server.  Be sure you've run "
                                              "the administration application and correctly enter default values for all "
                                              "settings."));
    EXPECT_FALSE(control->state().log.IsOpen());
    EXPECT_TRUE(logFiles().isEmpty());
    EXPECT_FALSE(timers->enabled(QLatin1String(Stavio::kDBSync)));
}

TEST_F(StavioStartTest, OldServerFailsWith1002AfterTheLogStarted) {
    setting("Debug Mode", RegValue::fromDword(0));
    setVersion(0x40000, 0x20067);  // 4.0(2.103)
    EXPECT_EQ(control->OnStart(QVariant(QString())), controlError(1002));
    EXPECT_EQ(eventTexts().last(), QStringLiteral("This application only runs on Voxaren 4.0(3) and later.  Exiting..."));
    ASSERT_EQ(logFiles(), QStringList{"VoxarenStavio_Log_20261206_07_05_09.TXT"});
    const QString log = readFile(control->state().log.CurrentLogFile());
    EXPECT_TRUE(log.contains(QStringLiteral("Local Voxaren version=4.0(2.103)\r\n")));
    EXPECT_FALSE(log.contains(QStringLiteral("only runs on")));  // that entry goes to the event log only
    EXPECT_EQ(platform::machineRegistry()
                  .value(QLatin1String(kSettingsKey), QStringLiteral("CurrentLogFile"))
                  ->text,
              control->state().log.CurrentLogFile());
}

TEST_F(StavioStartTest, DatabaseServiceNotRunningFailsWith1004AfterThreeMinutes) {
    setting("Debug Mode", RegValue::fromDword(0));
    sqlState = 1;
    EXPECT_EQ(control->OnStart(QVariant(QString())), controlError(1004));
    EXPECT_EQ(clock->sleptMs(), 190000);  // read at the start and every 10 seconds up to 190 s
    EXPECT_EQ(sqlStateReads, 20);
    const QString message = QStringLiteral("MS SQL service is not started after 3 minutes.  Check your SQL installation "
                                           "and make sure the service is starting properly.");
    EXPECT_EQ(eventTexts().last(), message);
    EXPECT_TRUE(readFile(control->state().log.CurrentLogFile())
                    .contains(QStringLiteral(",4,ERROR,,,") + message));
}

TEST_F(StavioStartTest, AStopRequestedWhileWaitingForTheDatabaseServiceAbandonsTheStart) {
    setting("Debug Mode", RegValue::fromDword(0));
    struct ForgetTheStop {
        ~ForgetTheStop() { platform::com::clearStopRequest(); }
    } forget;
    int reads = 0;
    // The stop arrives (from the host's signal handler) while the third look is made.
    environment().setServiceStateSource(QStringLiteral("MSSQLSERVER"), [&] {
        if (++reads == 3) platform::com::requestStop();
        return 1;
    });
    EXPECT_EQ(control->OnStart(QVariant(QString())), controlError(1004));
    EXPECT_EQ(clock->sleptMs(), 20000);  // not the whole 190 s
    EXPECT_EQ(reads, 3);
    const QString message = QStringLiteral("The start was abandoned while waiting for the MS SQL service, because a stop "
                                           "was requested.");
    // An operator's ordinary stop: information, not an error.
    EXPECT_EQ(eventTexts().last(), message);
    EXPECT_EQ(events.entries.back().id, 2);
    EXPECT_EQ(events.entries.back().severity, platform::EventSeverity::Information);
    const QString log = readFile(control->state().log.CurrentLogFile());
    EXPECT_TRUE(log.contains(QStringLiteral(",2,SHUT_DOWN,,,") + message));
    EXPECT_FALSE(log.contains(QStringLiteral("not started after 3 minutes")));
    EXPECT_FALSE(timers->enabled(QLatin1String(Stavio::kDBSync)));
}

TEST_F(StavioStartTest, MissingTemplateFailsWith1003) {
    setting("Subscriber Template Alias", RegValue::sz(QStringLiteral(" ")));  // as a fresh key holds it
    EXPECT_EQ(control->OnStart(QVariant(QString())), controlError(1003));
    EXPECT_EQ(eventTexts().last(), QStringLiteral("Subscriber template selected is no longer available.  You need to select a "
                                                  "valid subscriber template in the Stavio administrator application and "
                                                  "restart the service."));
    EXPECT_TRUE(control->state().log.IsOpen());  // what the earlier steps did stays in place
    EXPECT_FALSE(timers->enabled(QLatin1String(Stavio::kDBSync)));
}

TEST_F(StavioStartTest, SuccessfulStartEnablesTheTimersAndLogsTheStart) {
    setting("Subscriber Template Alias", RegValue::sz(QStringLiteral("DefaultTemplate")));
    setting("Precipia Server Name", RegValue::sz(QStringLiteral(" pms.hotel.lan ")));
    EXPECT_EQ(control->OnStart(QVariant(QStringLiteral(""))), 0);
    for (const char* t : {Stavio::kDBSync, Stavio::kMWISync, Stavio::kArchiveSweep, Stavio::kLogSweep, Stavio::kNewGuestMessage})
        EXPECT_TRUE(timers->enabled(QLatin1String(t))) << t;
    EXPECT_EQ(eventIds(), QStringList({"5", "1"}));
    EXPECT_EQ(eventTexts().last(), QStringLiteral("Orvanta Voxaren Stavio service started"));
    EXPECT_TRUE(
        readFile(control->state().log.CurrentLogFile())
            .endsWith(QStringLiteral(
                "12/6/2026 7:05:09 AM,1,START_UP,,,Orvanta Voxaren Stavio service started\r\n")));
    EXPECT_EQ(control->state().voiceServerConnection,
              QStringLiteral("Driver={SQL Server};server=;database=VoxarenDb"));
    EXPECT_EQ(control->state().pmsConnection,
              QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=pms.hotel.lan;DATABASE=ptceDB;"
                             "UID=vms;PWD=kqt584;OPTION=3"));
    EXPECT_TRUE(control->state().notifier);
    control->OnStop();
    EXPECT_TRUE(
        readFile(control->state().log.CurrentLogFile())
            .endsWith(QStringLiteral(",2,SHUT_DOWN,,,Orvanta Voxaren Stavio service stopped\r\n")));
}

TEST_F(StavioStartTest, AServerWithoutANotifierIsReportedAndTheStartGoesOn) {
    setting("Subscriber Template Alias", RegValue::sz(QStringLiteral("DefaultTemplate")));
    environment().serverObjects = nullptr;
    EXPECT_EQ(control->OnStart(QVariant(QStringLiteral(""))), 0);
    EXPECT_FALSE(control->state().notifier);
    EXPECT_TRUE(eventTexts().contains(QStringLiteral(
        "The voice-messaging server's \"Notifier\" object could not be obtained: lamps are not set until it can be.")))
        << eventTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(StavioStartTest, WaitingForTheDatabaseServiceEndsWhenItRuns) {
    qint32 seconds = 30;
    int reads = 0;
    environment().setServiceStateSource(QStringLiteral("MSSQLSERVER"), [&] { return ++reads >= 3 ? 4 : 1; });
    EXPECT_TRUE(Stavio::WaitForSqlServer(seconds));
    EXPECT_EQ(clock->sleptMs(), 20000);

    sqlState = 1;
    environment().setServiceStateSource(QStringLiteral("MSSQLSERVER"), [this] { return sqlState; });
    seconds = -5;
    EXPECT_FALSE(Stavio::WaitForSqlServer(seconds));
    EXPECT_EQ(seconds, 1);  // raised to 1 in the caller's variable too
    EXPECT_EQ(clock->sleptMs(), 30000);  // one more look, 10 seconds later
}

}  // namespace
