#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "admin/core/AdminState.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmMain.h"
#include "common/ErrorTrap.h"
#include "common/PMSConnection.h"
#include "common/SettingsTable.h"
#include "platform/registry.h"
#include "sim/ptce/GatewayTable.h"
#include "tests/admin/AdminFixture.h"
#include "tests/admin/MainWindowFixture.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/ServerFixture.h"

using modLocalize::englishString;

namespace {

TEST_F(MainWindowTest, FreshKeyShowsTheGuestTemplateAndWritesItOnlyOnSave) {
    ASSERT_TRUE(load());
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(child<QComboBox>("cmbSubscriberTemplateAlias")->currentText(), QStringLiteral("HotelGuestTemplate"));
    EXPECT_EQ(stored("Subscriber Template Alias")->text, QStringLiteral(" "));
    EXPECT_EQ(child<QComboBox>("cmbLogRetentionDays")->currentText(), QStringLiteral("14"));
    EXPECT_EQ(child<QComboBox>("cmbMailboxArchiveDays")->currentText(), QStringLiteral("7"));
    EXPECT_EQ(child<QTimeEdit>("dtLogSweepTimeStart")->time(), QTime(3, 0));
    EXPECT_EQ(child<QLineEdit>("txtLogPath")->text(), folder() + QStringLiteral("/logs/"));

    click("cmdSave");
    EXPECT_EQ(lastShown(), englishString(1097));
    EXPECT_EQ(stored("Subscriber Template Alias")->text, QStringLiteral("HotelGuestTemplate"));
    EXPECT_EQ(stored("Archive Mailbox Start Time")->text, QStringLiteral("1/1/2000 2:00:00 AM"));
    EXPECT_EQ(stored("Syncronization Cycle Minutes")->dword, 1u);
}

TEST_F(MainWindowTest, SaveRefusesEmptyWindowsAndWritesNothing) {
    ASSERT_TRUE(load());
    child<QTimeEdit>("dtArchiveTimeStart")->setTime(QTime(2, 0));
    child<QTimeEdit>("dtArchiveTimeStop")->setTime(QTime(2, 0));
    child<QLineEdit>("txtPercipiaServerName")->setText(QStringLiteral("changed"));
    click("cmdSave");
    EXPECT_EQ(lastShown(), englishString(1107));
    child<QTimeEdit>("dtArchiveTimeStop")->setTime(QTime(2, 0, 1));
    child<QTimeEdit>("dtLogSweepTimeStart")->setTime(QTime(5, 0));
    click("cmdSave");
    EXPECT_EQ(lastShown(), englishString(1106));
    EXPECT_EQ(stored("Precipia Server Name")->text, QStringLiteral(" "));
}

TEST_F(MainWindowTest, WelcomeMessageNeedsAnExistingWavFile) {
    ASSERT_TRUE(load());
    auto* wav = child<QLineEdit>("txtGuestWelcomeMessageWAVPath");
    auto* send = child<QCheckBox>("chkSendWelcomeMessage");
    send->setChecked(true);
    click("cmdSave");
    EXPECT_TRUE(lastShown().startsWith(QStringLiteral("You must select a WAV file")));
    wav->setText(path(QStringLiteral("missing.wav")));
    click("cmdSave");
    EXPECT_EQ(lastShown(), QStringLiteral("Cannot find the selected WAV file for the welcome message for new guests"));
    for (const char* name : {"welcome.mp3", "welcome.Wav"}) {
        QFile f(path(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    wav->setText(path(QStringLiteral("welcome.mp3")));
    click("cmdSave");
    EXPECT_EQ(lastShown(), QStringLiteral("You can only select a .WAV file to act as the welcome message for new guests"));
    EXPECT_FALSE(stored("Send Welcome Message").has_value());
    wav->setText(path(QStringLiteral("welcome.Wav")));
    click("cmdSave");
    EXPECT_EQ(lastShown(), englishString(1097));
    EXPECT_EQ(stored("Send Welcome Message")->dword, 1u);
    EXPECT_EQ(stored("Welcome Message WAV File Path")->text, path(QStringLiteral("welcome.Wav")));
}

TEST_F(MainWindowTest, StoredValuesWithoutAnEntryKeepTheLoadTimeSelection) {
    setting("Log Retention Days", platform::RegValue::fromDword(91));
    setting("Mailbox Archive Days", platform::RegValue::fromDword(29));
    setting("Syncronization Cycle Minutes", platform::RegValue::fromDword(21));
    ASSERT_TRUE(load());
    EXPECT_EQ(child<QComboBox>("cmbLogRetentionDays")->currentText(), QStringLiteral("5"));
    EXPECT_EQ(child<QComboBox>("cmbMailboxArchiveDays")->currentText(), QStringLiteral("3"));
    EXPECT_EQ(child<QComboBox>("cmbSyncCycleMinutes")->currentText(), QStringLiteral("1"));
    setting("Log Retention Days", platform::RegValue::fromDword(4));
    window->LoadRegistryKeys();
    EXPECT_EQ(child<QComboBox>("cmbLogRetentionDays")->currentText(), QStringLiteral("5"));
}

TEST_F(MainWindowTest, StartUpChecksThatEndTheProgram) {
    registry().setValue(QStringLiteral("SOFTWARE\\Brightkeel\\SystemParameters\\1.0"), QStringLiteral("IDCProgID"),
                        platform::RegValue::sz(QStringLiteral("Other.Connector")));
    EXPECT_FALSE(load());
    EXPECT_EQ(lastShown(), englishString(1144));

    registry().setValue(QStringLiteral("Software\\Brightkeel"), QStringLiteral("Build Number"),
                        platform::RegValue::fromDword(0x20067));
    EXPECT_FALSE(load());
    EXPECT_EQ(lastShown(), englishString(1114));
}

TEST_F(MainWindowTest, AnUnregisteredServiceIsRegisteredFromTheProgramFolder) {
    registry().deleteKey(QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\OrvantaVoxarenStavio"));
    ASSERT_TRUE(load());
    ASSERT_EQ(runner->calls.size(), 1u);
    EXPECT_EQ(runner->calls[0].program, folder() + QStringLiteral("/RegisterStavioService.sh"));
    EXPECT_EQ(runner->calls[0].timeoutMs, 30000);
    EXPECT_EQ(prompts->shown, QStringList{englishString(1139)});

    runner->outcomes.push_back({true, false, 1, {}});  // the script ran and failed
    EXPECT_FALSE(load());
    EXPECT_EQ(lastShown(), englishString(1059));
}

TEST_F(MainWindowTest, ServiceCommandsReportWhatTheyDid) {
    ASSERT_TRUE(load());
    window->mnuStartService_Click();
    EXPECT_EQ(lastShown(), englishString(1095));
    // A failure tells the service manager's own reason.
    runner->outcomes.push_back({true, false, 1, QStringLiteral("Failed to stop OrvantaVoxarenStavio.service: Access denied")});
    window->mnuStopService_Click();
    EXPECT_EQ(lastShown(), englishString(1054) + QStringLiteral("\n\n'systemctl stop OrvantaVoxarenStavio' ended with exit "
                                                                "status 1: Failed to stop OrvantaVoxarenStavio.service: Access denied"));
    EXPECT_EQ(prompts->kindOf(lastShown()), Prompt::Kind::Error);
    runner->outcomes.push_back({false, false, -1, {}});
    window->mnuStartService_Click();
    EXPECT_EQ(lastShown(), englishString(1053) + QStringLiteral("\n\n'systemctl start OrvantaVoxarenStavio' could not be run"));
    EXPECT_EQ(runner->commandLines(), QStringList({"systemctl start OrvantaVoxarenStavio", "systemctl stop OrvantaVoxarenStavio",
                                                   "systemctl start OrvantaVoxarenStavio"}));
}

TEST_F(MainWindowTest, UnregisteringAsksFirstAndRunsTheScriptBesideTheProgram) {
    ASSERT_TRUE(load());
    window->UnregisterStavioService_Click();  // unscripted: Cancel
    EXPECT_TRUE(runner->calls.empty());
    prompts->answers = {true, true};
    runner->outcomes.push_back({true, false, 2, {}});
    window->UnregisterStavioService_Click();
    EXPECT_EQ(lastShown(), englishString(1141));
    EXPECT_FALSE(window->ended());
    window->UnregisterStavioService_Click();
    EXPECT_EQ(lastShown(), englishString(1142));
    EXPECT_TRUE(window->ended());
    EXPECT_EQ(runner->calls.back().program, folder() + QStringLiteral("/UnregisterStavioService.sh"));
    EXPECT_EQ(runner->calls.back().workingDirectory, folder());
}

TEST_F(MainWindowTest, ConnectTestsThePmsDatabase) {
    ASSERT_TRUE(load());
    auto* server = child<QLineEdit>("txtPercipiaServerName");
    server->clear();
    click("cmdConnectToPrecipia");
    EXPECT_EQ(lastShown(), englishString(1126));
    server->setText(QStringLiteral("127.0.0.1:1"));
    click("cmdConnectToPrecipia");
    EXPECT_EQ(lastShown(), englishString(1029));
    ptce::GatewayTable(PMSConnectionString(path(QStringLiteral("ptce.sqlite")))).init(101, 102);
    server->setText(QStringLiteral(" ") + path(QStringLiteral("ptce.sqlite")) + QStringLiteral(" "));
    click("cmdConnectToPrecipia");
    EXPECT_EQ(lastShown(), englishString(1044));
}

TEST_F(MainWindowTest, TheAdministrationLogOpensInTheDesktopsViewer) {
    ASSERT_TRUE(load());
    window->mnuOpenCurrentLogFile_Click();
    ASSERT_EQ(runner->calls.size(), 1u);
    EXPECT_TRUE(runner->calls[0].detached);
    EXPECT_EQ(runner->calls[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(runner->calls[0].arguments, QStringList{adminState.log->Path()});
    EXPECT_TRUE(readFile(adminState.log->Path()).startsWith(QString(64, QLatin1Char('='))));
    window->mnuOpenLoggingFolder_Click();
    EXPECT_EQ(runner->calls[1].arguments, QStringList{folder() + QStringLiteral("/logs")});
}

}  // namespace

namespace {

TEST_F(MainWindowTest, HelpOpensItsOwnWindowAndGermanCaptionsFollowTheLanguage) {
    ASSERT_TRUE(load());
    window->findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmHelp") && w->isVisible()) help = w;
    ASSERT_TRUE(help);
    help->close();

    adminEnv().setProgramFolder(QCoreApplication::applicationDirPath());
    modLocalize::setCurrentLanguage(1031);
    modLocalize::InitalizeLanguages();
    for (LocalizedWindow* w : loadedWindows()) w->AutoInit();
    EXPECT_EQ(window->windowTitle(), modLocalize::myLoadResString(1037));
    EXPECT_NE(window->windowTitle(), englishString(1037));
    EXPECT_EQ(child<QPushButton>("cmdSave")->text(), modLocalize::myLoadResString(1092));
}

}  // namespace

namespace {

QWidget* visibleTopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

TEST_F(MainWindowTest, ViewMenuOpensTheLogAndTableWindows) {
    ASSERT_TRUE(load());
    window->findChild<QAction*>(QStringLiteral("mnuViewGuest"))->trigger();
    QWidget* guests = visibleTopLevel("frmGuestView");
    ASSERT_TRUE(guests);
    EXPECT_EQ(prompts->shown, QStringList{englishString(1071)});  // a clean server has no guests
    window->findChild<QAction*>(QStringLiteral("mnuViewGuest"))->trigger();
    EXPECT_EQ(visibleTopLevel("frmGuestView"), guests);  // the open one, brought to the front
    guests->close();
    EXPECT_TRUE(window->isVisible());  // only the guest view closed
    EXPECT_FALSE(window->ended());

    window->findChild<QAction*>(QStringLiteral("mnuReports"))->trigger();
    QWidget* reports = visibleTopLevel("frmReports");
    ASSERT_TRUE(reports);
    reports->close();

    prompts->shown.clear();
    window->findChild<QAction*>(QStringLiteral("mnuShowActivityWindow"))->trigger();
    QWidget* activity = visibleTopLevel("frmActivityViewer");
    ASSERT_TRUE(activity);
    EXPECT_EQ(prompts->shown, QStringList{englishString(1070)});  // the service has not written a log here
    activity->close();

    child<QLineEdit>("txtPercipiaServerName")->setText(QStringLiteral("  "));
    window->findChild<QAction*>(QStringLiteral("mnuViewRawDB"))->trigger();
    EXPECT_EQ(lastShown(), englishString(1137));
    EXPECT_FALSE(visibleTopLevel("frmRawPTCEDB"));
    ptce::GatewayTable(PMSConnectionString(path(QStringLiteral("ptce.sqlite")))).init(101, 103);
    child<QLineEdit>("txtPercipiaServerName")->setText(path(QStringLiteral("ptce.sqlite")));
    window->findChild<QAction*>(QStringLiteral("mnuViewRawDB"))->trigger();
    QWidget* raw = visibleTopLevel("frmRawPTCEDB");
    ASSERT_TRUE(raw);
    raw->close();
}

}  // namespace
