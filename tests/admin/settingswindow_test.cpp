// The settings window as a careful administrator meets it: its file dialogs,
// the kind of each message, a template that is gone, the log path, opening the
// administration's log, the command line and a registry store this user may
// not change.
#include <gtest/gtest.h>

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimeEdit>

#include "admin/core/AdminState.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmGuestView.h"
#include "admin/windows/frmMain.h"
#include "common/ErrorTrap.h"
#include "admin/windows/frmRemoteConnection.h"
#include "tests/admin/MainWindowFixture.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/ScriptedPrompt.h"

using modLocalize::englishString;
using Kind = Prompt::Kind;
using Dialog = ScriptedPrompt::Dialog;

namespace {

TEST_F(MainWindowTest, TheLogFolderIsChosenThroughThePromptAndEndsWithASlash) {
    ASSERT_TRUE(load());
    auto* logPath = child<QLineEdit>("txtLogPath");
    logPath->setText(QStringLiteral("/srv/old/"));
    prompts->choices = {QStringLiteral("/srv/stavio/logs"), QStringLiteral("/srv/kept/"), std::nullopt};
    click("cmbBrowseForLogPath");
    EXPECT_EQ(logPath->text(), QStringLiteral("/srv/stavio/logs/"));
    click("cmbBrowseForLogPath");
    EXPECT_EQ(logPath->text(), QStringLiteral("/srv/kept/"));  // no second slash
    click("cmbBrowseForLogPath");                               // cancelled: the box keeps its text
    EXPECT_EQ(logPath->text(), QStringLiteral("/srv/kept/"));

    ASSERT_EQ(prompts->dialogs.size(), 3u);
    EXPECT_EQ(prompts->dialogs[0].type, Dialog::Type::Folder);
    EXPECT_EQ(prompts->dialogs[0].title, englishString(1009));
    EXPECT_EQ(prompts->dialogs[0].start, QStringLiteral("/srv/old/"));  // it opens where the box points
    EXPECT_EQ(prompts->dialogs[1].start, QStringLiteral("/srv/stavio/logs/"));
}

TEST_F(MainWindowTest, TheWavFileIsChosenThroughThePromptWithTheLanguagesFilter) {
    ASSERT_TRUE(load());
    auto* wav = child<QLineEdit>("txtGuestWelcomeMessageWAVPath");
    wav->setText(QStringLiteral("/srv/greeting.wav"));
    prompts->choices = {QStringLiteral("/srv/welcome.WAV"), std::nullopt};
    click("Command1");
    EXPECT_EQ(wav->text(), QStringLiteral("/srv/welcome.WAV"));
    click("Command1");
    EXPECT_EQ(wav->text(), QStringLiteral("/srv/welcome.WAV"));
    ASSERT_EQ(prompts->dialogs.size(), 2u);
    EXPECT_EQ(prompts->dialogs[0].type, Dialog::Type::FileToOpen);
    EXPECT_EQ(prompts->dialogs[0].start, QStringLiteral("/srv/greeting.wav"));
    EXPECT_EQ(prompts->dialogs[0].title, QStringLiteral("Select the welcome message WAV file"));
    EXPECT_EQ(prompts->dialogs[0].filter, QStringLiteral("WAV files (*.wav *.WAV);;All files (*)"));

    // In German the dialog speaks German.
    adminEnv().setProgramFolder(QCoreApplication::applicationDirPath());
    modLocalize::setCurrentLanguage(1031);
    modLocalize::InitalizeLanguages();
    click("Command1");
    ASSERT_EQ(prompts->dialogs.size(), 3u);
    EXPECT_EQ(prompts->dialogs[2].title, QStringLiteral("WAV-Datei der Begrüßungsnachricht auswählen"));
    EXPECT_EQ(prompts->dialogs[2].filter, QStringLiteral("WAV-Dateien (*.wav *.WAV);;Alle Dateien (*)"));

    // And so do the welcome message's warnings, and the remote-connection window.
    window->show();
    prompts->shown.clear();
    child<QCheckBox>("chkSendWelcomeMessage")->setChecked(false);
    child<QCheckBox>("chkSendWelcomeMessage")->click();
    wav->clear();
    click("cmdSave");
    ASSERT_EQ(prompts->shown.size(), 2);
    EXPECT_TRUE(prompts->shown[0].startsWith(QStringLiteral("WARNUNG!  Damit diese Funktion arbeitet"))) << prompts->shown[0].toStdString();
    EXPECT_TRUE(prompts->shown[1].startsWith(QStringLiteral("Sie müssen eine WAV-Datei auswählen"))) << prompts->shown[1].toStdString();
    frmRemoteConnection remote(adminState);
    EXPECT_EQ(remote.windowTitle(), QStringLiteral("Entfernten Voxaren-Server suchen und verbinden"));
    EXPECT_EQ(remote.findChild<QPushButton*>(QStringLiteral("cmdConnect"))->text(), QStringLiteral("&Verbinden"));
}

TEST_F(MainWindowTest, MessagesShowWhetherTheyInformWarnOrReportAFailure) {
    ASSERT_TRUE(load());
    window->mnuStartService_Click();
    EXPECT_EQ(prompts->kindOf(englishString(1095)), Kind::Information);

    child<QLineEdit>("txtPercipiaServerName")->setText(QStringLiteral("127.0.0.1:1"));
    click("cmdConnectToPrecipia");
    EXPECT_EQ(prompts->kindOf(englishString(1029)), Kind::Error);

    window->show();
    child<QCheckBox>("chkSendWelcomeMessage")->setChecked(false);
    child<QCheckBox>("chkSendWelcomeMessage")->click();
    ASSERT_TRUE(lastShown().startsWith(QStringLiteral("WARNING!"))) << lastShown().toStdString();
    EXPECT_EQ(prompts->kindOf(lastShown()), Kind::Warning);

    // The error trap's reports.
    ErrorTrap("cmdSave_Click", "Form", "frmMain").report(5, QStringLiteral("Invalid procedure call"));
    const QString report = QStringLiteral("(error):5 (Invalid procedure call) in procedure cmdSave_Click of Form frmMain");
    EXPECT_EQ(lastShown(), report);
    EXPECT_EQ(prompts->kindOf(report), Kind::Error);
}

TEST_F(MainWindowTest, AStoredTemplateTheServerNoLongerHasIsNotReplacedBehindTheAdministratorsBack) {
    setting("Subscriber Template Alias", platform::RegValue::sz(QStringLiteral("RetiredTemplate")));
    ASSERT_TRUE(load());
    auto* templates = child<QComboBox>("cmbSubscriberTemplateAlias");
    ASSERT_GE(templates->count(), 2);  // the server's templates are there to choose from
    EXPECT_EQ(templates->currentIndex(), -1);
    EXPECT_EQ(templates->currentText(), QString());

    child<QLineEdit>("txtPercipiaServerName")->setText(QStringLiteral("pms.example"));
    click("cmdSave");
    EXPECT_EQ(lastShown(), englishString(1148));
    EXPECT_EQ(prompts->kindOf(englishString(1148)), Kind::Warning);
    EXPECT_EQ(stored("Subscriber Template Alias")->text, QStringLiteral("RetiredTemplate"));
    EXPECT_FALSE(stored("Precipia Server Name").has_value());  // nothing else was written either

    // A typed alias the server does not have is saved, with a warning: the service's start would fail.
    prompts->shown.clear();
    templates->setEditText(QStringLiteral("NoSuchTemplate"));
    click("cmdSave");
    const QString noSuchTemplate = englishString(1158) + QStringLiteral("NoSuchTemplate");
    EXPECT_EQ(prompts->shown, (QStringList{noSuchTemplate, englishString(1097)}));
    EXPECT_EQ(prompts->kindOf(noSuchTemplate), Kind::Warning);
    EXPECT_EQ(stored("Subscriber Template Alias")->text, QStringLiteral("NoSuchTemplate"));

    templates->setCurrentIndex(templates->findText(QStringLiteral("DefaultTemplate")));
    click("cmdSave");
    EXPECT_EQ(lastShown(), englishString(1097));
    EXPECT_EQ(stored("Subscriber Template Alias")->text, QStringLiteral("DefaultTemplate"));

    // A template the server has is shown and chosen.
    ASSERT_TRUE(load());
    templates = child<QComboBox>("cmbSubscriberTemplateAlias");
    EXPECT_EQ(templates->currentText(), QStringLiteral("DefaultTemplate"));
    EXPECT_EQ(templates->itemText(templates->currentIndex()), QStringLiteral("DefaultTemplate"));
}

TEST_F(MainWindowTest, SaveEndsTheLogPathWithASlashAndWarnsOfAFolderThatIsNotThere) {
    ASSERT_TRUE(load());
    auto* logPath = child<QLineEdit>("txtLogPath");
    const QString logs = folder() + QStringLiteral("/logs");
    ASSERT_TRUE(QFileInfo(logs).isDir());
    logPath->setText(logs);
    click("cmdSave");
    EXPECT_EQ(prompts->shown, QStringList{englishString(1097)});
    EXPECT_EQ(stored("Path to Logs")->text, logs + QLatin1Char('/'));
    EXPECT_EQ(logPath->text(), logs + QLatin1Char('/'));

    // Missing, in a folder that is there: the service makes it. Missing with
    // the folder above: it never could. Saved all the same either way.
    for (const auto& [missing, id] : {std::pair{folder() + QStringLiteral("/not-yet/"), 1156},
                                      std::pair{folder() + QStringLiteral("/no/such/"), 1149}}) {
        prompts->shown.clear();
        logPath->setText(missing);
        click("cmdSave");
        EXPECT_EQ(prompts->shown, (QStringList{englishString(id) + missing, englishString(1097)}));
        EXPECT_EQ(prompts->kindOf(englishString(id) + missing), Kind::Warning);
        EXPECT_EQ(stored("Path to Logs")->text, missing);
    }

    // An empty path leaves the service its own folder: nothing to warn of.
    prompts->shown.clear();
    logPath->clear();
    click("cmdSave");
    EXPECT_EQ(prompts->shown, QStringList{englishString(1097)});
    EXPECT_EQ(stored("Path to Logs")->text, QString());
}

TEST_F(MainWindowTest, OpeningTheLogOrItsFolderSaysSoWithThePathWhenNoViewerOpensIt) {
    ASSERT_TRUE(load());
    const QString log = adminState.log->Path();
    const QString logs = folder() + QStringLiteral("/logs");
    // No xdg-open at all.
    runner->startsWatched = false;
    prompts->shown.clear();
    window->mnuOpenCurrentLogFile_Click();
    window->mnuOpenLoggingFolder_Click();
    const QStringList notStarted{
        QStringLiteral("(error):53 (File not found: xdg-open, to open ") + log +
            QStringLiteral(") in procedure mnuOpenCurrentLogFile_Click of Form frmMain"),
        QStringLiteral("(error):53 (File not found: xdg-open, to open ") + logs +
            QStringLiteral(") in procedure mnuOpenLoggingFolder_Click of Form frmMain")};
    EXPECT_EQ(prompts->shown, notStarted);
    for (const QString& text : notStarted) EXPECT_EQ(prompts->kindOf(text), Kind::Error);

    // xdg-open runs but finds no viewer, as over SSH: its reason and the path.
    runner->startsWatched = true;
    runner->watchedFailure = platform::ProcessOutcome{true, false, 3, QStringLiteral("xdg-open: no method available")};
    prompts->shown.clear();
    window->mnuOpenCurrentLogFile_Click();
    window->mnuOpenLoggingFolder_Click();
    const QStringList noViewer{englishString(1157) + log + QStringLiteral("\n\nxdg-open: no method available"),
                               englishString(1157) + logs + QStringLiteral("\n\nxdg-open: no method available")};
    EXPECT_EQ(prompts->shown, noViewer);
    for (const QString& text : noViewer) EXPECT_EQ(prompts->kindOf(text), Kind::Warning);
}

TEST_F(MainWindowTest, TheGuestViewWordCountsAmongTheArgumentsNotInTheProgramsPath) {
    EXPECT_TRUE(load({QStringLiteral("/opt/GuestViewKiosk/VoxarenStavioAdmin")}));
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();

    EXPECT_FALSE(window->guestView());

    prompts->shown.clear();
    EXPECT_TRUE(load({QStringLiteral("/opt/stavio/VoxarenStavioAdmin"), QStringLiteral("/GUESTVIEW")}));
    EXPECT_EQ(prompts->shown, QStringList{englishString(1071)});  // the guest view's load on a clean server
    EXPECT_FALSE(window->isVisible());
    ASSERT_TRUE(window->guestView());
    EXPECT_TRUE(window->guestView()->isVisible());
}

// For the length of a scope the test runs as a user who may not change the
// test's folder: "nobody" when the tests run as root (who may write
// anything), else this user with the folder made read-only. The folder is
// then readable by that user, or not even that.
class UserWithoutRights {
public:
    enum class Folder { Readable, Closed };
    UserWithoutRights(const QString& folder, Folder access) : m_folder(folder) {
        QDir dir(folder);
        // The administration's own log stays writable: only the store is at issue.
        QFile::setPermissions(dir.filePath(QStringLiteral("logs")), QFile::Permissions(0x7777));
        for (const QString& name : dir.entryList(QDir::Files))
            QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const QFile::Permissions readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                            QFile::ReadOther | QFile::ExeOther;
        const bool root = ::geteuid() == 0;
        QFile::setPermissions(folder, access == Folder::Closed ? (root ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                                       : QFile::Permissions())
                                                               : readable);
        if (root) {
            const passwd* nobody = ::getpwnam("nobody");
            m_switched = nobody && ::seteuid(nobody->pw_uid) == 0;
        } else {
            m_switched = true;
        }
    }
    ~UserWithoutRights() {
        // Root again, or the rest of the run would go on as "nobody".
        if (::getuid() == 0 && ::seteuid(0) != 0) std::abort();
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir dir(m_folder);
        for (const QString& name : dir.entryList(QDir::Files))
            QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::WriteOwner);
    }
    bool switched() const { return m_switched; }

private:
    QString m_folder;
    bool m_switched = false;
};

class StoreRightsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(QDir(folder()).mkpath(QStringLiteral("logs")));
    }
    // The store opened afresh, as the program opens it at its start.
    void reopenStore() { environment().setRegistryPath(path(QStringLiteral("registry.db"))); }
};

TEST_F(StoreRightsTest, AStoreThisUserMayNotChangeEndsTheStartWithTheRealCause) {
    setting("Subscriber Template Alias", platform::RegValue::sz(QStringLiteral("DefaultTemplate")));
    bool loaded = true;
    {
        UserWithoutRights user(folder(), UserWithoutRights::Folder::Readable);
        ASSERT_TRUE(user.switched());
        reopenStore();
        loaded = load();
    }
    EXPECT_FALSE(loaded);
    ASSERT_EQ(prompts->shown.size(), 1) << prompts->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompts->shown[0].startsWith(englishString(1151))) << prompts->shown[0].toStdString();
    EXPECT_TRUE(prompts->shown[0].endsWith(QStringLiteral("the store is read-only for this user, run as an administrator")))
        << prompts->shown[0].toStdString();
    EXPECT_EQ(prompts->kindOf(prompts->shown[0]), Kind::Error);
    EXPECT_TRUE(runner->calls.empty());  // nothing was tried that needs the store
}

TEST_F(StoreRightsTest, AStoreThisUserCannotReadEndsTheStartWithTheRealCause) {
    bool loaded = true;
    {
        UserWithoutRights user(folder(), UserWithoutRights::Folder::Closed);
        ASSERT_TRUE(user.switched());
        reopenStore();
        loaded = load();
    }
    EXPECT_FALSE(loaded);
    ASSERT_EQ(prompts->shown.size(), 1) << prompts->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompts->shown[0].startsWith(englishString(1152) + QStringLiteral("Registry store ") +
                                             path(QStringLiteral("registry.db"))))
        << prompts->shown[0].toStdString();
    EXPECT_EQ(prompts->kindOf(prompts->shown[0]), Kind::Error);
}

}  // namespace
