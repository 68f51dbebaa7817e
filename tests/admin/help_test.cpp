// The help window and the help page that ships beside the program.
#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "admin/core/AdminState.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmHelp.h"
#include "common/AdminSettings.h"
#include "common/modLogging.h"
#include "platform/registry.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

namespace {

class HelpTest : public AdminFixture<StavioTest> {
protected:
    static QTextBrowser* browser(frmHelp& window) { return window.findChild<QTextBrowser*>(QStringLiteral("browserHelp")); }

};

// The page as built beside the program, read the way the help window reads it.
class HelpPageTest : public HelpTest {
protected:
    void SetUp() override {
        HelpTest::SetUp();
        adminEnv().setProgramFolder(QCoreApplication::applicationDirPath());
        const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/VoxarenStavioAdmin.htm");
        ASSERT_TRUE(QFile::exists(page)) << page.toStdString();
        doc.setHtml(readFile(page));
        text = doc.toPlainText();
    }
    // Every (href, anchor name) the page's text carries, and the level-2 headings' anchors in order.
    void collectAnchors(QStringList& hrefs, QSet<QString>& names, QStringList& chapters, QStringList& contents) const {
        bool inContents = false;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            const int level = block.blockFormat().headingLevel();
            if (level > 0) inContents = false;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                for (const QString& name : f.anchorNames()) {
                    names.insert(name);
                    if (level == 2) chapters << name;
                    if (level == 2 && name == QLatin1String("contents")) inContents = true;
                }
                if (f.anchorHref().startsWith(QLatin1Char('#'))) {
                    hrefs << f.anchorHref().mid(1);
                    if (inContents && level == 0) contents << f.anchorHref().mid(1);
                }
            }
        }
    }
    void expectAll(const QStringList& phrases) const {
        for (const QString& phrase : phrases) EXPECT_TRUE(text.contains(phrase)) << phrase.toStdString();
    }

    QTextDocument doc;
    QString text;
};

}  // namespace

TEST_F(HelpTest, ShowsThePageOfTheProgramFolderInAWindowOfItsOwn) {
    QFile page(path(QStringLiteral("VoxarenStavioAdmin.htm")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Front desk</h1><p>Room 214 checks in.</p></body></html>");
    page.close();
    adminEnv().setProgramFolder(folder());

    QWidget mainWindow;
    frmHelp window(&mainWindow);
    EXPECT_EQ(browser(window)->source(), QUrl::fromLocalFile(path(QStringLiteral("VoxarenStavioAdmin.htm"))));
    EXPECT_TRUE(browser(window)->toPlainText().contains(QStringLiteral("Room 214 checks in.")));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orvanta Voxaren Stavio Administrator"));
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.windowModality(), Qt::NonModal);
}

TEST_F(HelpTest, AMissingPageLeavesTheBrowserEmptyAndSaysNothing) {
    adminEnv().setProgramFolder(folder());
    frmHelp window;
    EXPECT_TRUE(browser(window)->toPlainText().isEmpty());
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(HelpTest, TheBrowserFollowsTheWindowDownToTheSmallestSize) {
    adminEnv().setProgramFolder(folder());
    frmHelp window;
    window.show();
    // 2500 x 2400 twips at 15 twips a pixel; the browser 100 twips in, 200 narrower, 400 lower.
    EXPECT_EQ(window.minimumSize(), QSize(166, 160));
    window.resize(600, 400);
    EXPECT_EQ(browser(window)->geometry(), QRect(6, 0, 587, 374));
    window.resize(50, 50);
    EXPECT_EQ(window.size(), QSize(166, 160));
    EXPECT_EQ(browser(window)->geometry(), QRect(6, 0, 153, 134));
}

TEST_F(HelpPageTest, OpensInTheHelpWindowFromBesideTheProgram) {
    frmHelp window;
    EXPECT_EQ(browser(window)->documentTitle(), doc.metaInformation(QTextDocument::DocumentTitle));
    EXPECT_TRUE(browser(window)->toPlainText().contains(QStringLiteral("The settings window")));
}

TEST_F(HelpPageTest, EveryLinkLeadsToAnAnchorAndEveryChapterIsInTheContents) {
    QStringList hrefs, chapters, contents;
    QSet<QString> names;
    collectAnchors(hrefs, names, chapters, contents);
    ASSERT_GT(hrefs.size(), 20);
    ASSERT_GT(chapters.size(), 10);
    for (const QString& href : hrefs) EXPECT_TRUE(names.contains(href)) << "no anchor " << href.toStdString();
    chapters.removeAll(QStringLiteral("contents"));
    EXPECT_EQ(contents, chapters);
}

TEST_F(HelpPageTest, DescribesEverySettingTheProgramSavesUnderItsCaption) {
    setRegistryKeys(AdminSettings{}, folder());
    platform::RegistryStore store(path(QStringLiteral("registry.db")));
    const auto values = store.values(QStringLiteral("Software\\Brightkeel\\Stavio"));
    ASSERT_GE(values.size(), 15u);
    for (const auto& value : values) EXPECT_TRUE(text.contains(QLatin1Char('"') + value.name + QLatin1Char('"'))) << value.name.toStdString();
    for (int id : {1068, 1101, 1104, 1067, 1147, 1066, 1077, 1032, 1033, 1065, 1146})
        EXPECT_TRUE(text.contains(modLocalize::captionText(modLocalize::englishString(id)))) << id;
    expectAll({QStringLiteral("Skip password when guest is calling from room phone"),
               QStringLiteral("Add voice mail message for new guests:"), QStringLiteral("\"CurrentLogFile\"")});
}

TEST_F(HelpPageTest, QuotesTheMessagesAnAdministratorMeetsWordForWord) {
    // Service start-up failures.
    expectAll({QStringLiteral("Failed to read registry keys expected by Stavio server.  Be sure you've run the "
                              "administration application and correctly enter default values for all settings."),
               QStringLiteral("This application only runs on Voxaren 4.0(3) and later.  Exiting..."),
               QStringLiteral("MS SQL service is not started after 3 minutes.  Check your SQL installation and make sure "
                              "the service is starting properly."),
               QStringLiteral("Subscriber template selected is no longer available.  You need to select a valid subscriber "
                              "template in the Stavio administrator application and restart the service."),
               QStringLiteral("OnStart failed")});
    // The service's log.
    expectAll({QStringLiteral("Attempt to open remote PMS database failed during DB sync attempt.  Aborting sync."),
               QStringLiteral("Error encountered during update sweep.  Unmatched 'otherroomno' columns found for rooms: "),
               QStringLiteral("Syncronization process failed to complete in a timely fashion.  Check the Syncovar logs in "
                              "the \\Corevane\\Logs directory"),
               QStringLiteral(" failed due to a conflict with that extension in the database.  All objects found to be "
                              "using that extension: "),
               QStringLiteral("(error): User opted to enable welcome message for guests but path to WAV file is missing.  "
                              "Feature disabled."),
               QStringLiteral("(error): User opted to enable welcome message for guests but path to WAV file is invalid.  "
                              "Feature disabled.  Path="),
               QStringLiteral("You can only select a .WAV file to act as the welcome message for new guests")});
    // The administration's own texts, as its string table has them.
    for (int id : {1029, 1044, 1053, 1054, 1057, 1059, 1070, 1095, 1096, 1097, 1106, 1107, 1108, 1109, 1114, 1118,
                   1126, 1136, 1137, 1139, 1140, 1141, 1142, 1145, 1148, 1149, 1151})
        EXPECT_TRUE(text.contains(modLocalize::englishString(id))) << id;
}

TEST_F(HelpPageTest, ListsEveryEventTitleOfTheLog) {
    int titles = 0;
    for (int id = 0; id < 1100; ++id) {
        const QString title = modLogging::ConvertEventIDToString(id);
        if (title == QLatin1String("[invalid event id]")) continue;
        ++titles;
        EXPECT_TRUE(text.contains(title)) << title.toStdString();
    }
    EXPECT_GT(titles, 0);
    expectAll({QStringLiteral("Time, Event ID, Event Title, Primary Room, Secondary Room, Description"),
               QStringLiteral("VoxarenStavio_Log_"), QStringLiteral("systemctl start OrvantaVoxarenStavio"),
               QStringLiteral("systemctl stop OrvantaVoxarenStavio"), QStringLiteral("RegisterStavioService.sh"),
               QStringLiteral("UnregisterStavioService.sh"), QStringLiteral("stavio-reg set")});
}
