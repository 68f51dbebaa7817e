// What every window of the administration owes its user: its caption as the
// system words it, one window of each kind, access keys and labels that lead
// to their controls, a layout that keeps controls at their size and shows
// every text whole, and times in the language's own format.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimeEdit>

#include "admin/AdminApplication.h"
#include "admin/core/AdminState.h"
#include "admin/localize/LoadedWindows.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmAbout.h"
#include "admin/windows/frmActivityViewer.h"
#include "admin/windows/frmHelp.h"
#include "admin/windows/frmRawPTCEDB.h"
#include "admin/windows/frmRemoteConnection.h"
#include "admin/windows/frmReports.h"
#include "common/DiagnosticLogFile.h"
#include "common/PMSConnection.h"
#include "sim/ptce/GatewayTable.h"
#include "tests/admin/MainWindowFixture.h"

using modLocalize::englishString;

namespace {

QList<QWidget*> visibleWindows(const char* name) {
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) found << w;
    return found;
}

// The administration's windows in the language set up last.
void switchLanguage(qint32 language) {
    adminEnv().setProgramFolder(QCoreApplication::applicationDirPath());
    modLocalize::setCurrentLanguage(language);
    modLocalize::InitalizeLanguages();
    for (LocalizedWindow* w : loadedWindows()) w->AutoInit();
}

class WindowsTest : public MainWindowTest {
protected:
    void trigger(const char* action) {
        QAction* a = window->findChild<QAction*>(QLatin1String(action));
        ASSERT_TRUE(a) << action;
        a->trigger();
    }
    QString pmsTable(const char* name) {
        const QString file = path(QLatin1String(name));
        ptce::GatewayTable(PMSConnectionString(file)).init(101, 103);
        return file;
    }
};

TEST_F(WindowsTest, EveryWindowShowsItsCaptionExactlyAndNothingAddsTheProgramsName) {
    configureQtApplication();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("stavio-admin"));  // tied to its launcher
    // Its icon shows without a theme or an image plug-in: the lamp's red at
    // the top right, the mailbox's white in the middle.
    const QImage icon = QGuiApplication::windowIcon().pixmap(64, 64).toImage();
    ASSERT_EQ(icon.size(), QSize(64, 64));
    EXPECT_EQ(icon.pixelColor(49, 17).rgb(), QColor(0xe8, 0x42, 0x3f).rgb());
    EXPECT_EQ(icon.pixelColor(20, 40).rgb(), QColor(Qt::white).rgb());
    ASSERT_TRUE(load());
    child<QLineEdit>("txtPercipiaServerName")->setText(pmsTable("ptce.sqlite"));
    for (const char* action : {"mnuShowActivityWindow", "mnuReports", "mnuViewRawDB", "mnuHelp", "mnuViewGuest"})
        trigger(action);
    const QList<std::pair<const char*, QString>> captions{
        {"frmMain", QStringLiteral("Orvanta Voxaren Stavio Administration")},
        {"frmGuestView", QStringLiteral("Orvanta Voxaren Stavio Guest View")},
        {"frmActivityViewer", QStringLiteral("Orvanta Voxaren Stavio Activity Viewer")},
        {"frmReports", QStringLiteral("Orvanta Voxaren Stavio Reports")},
        {"frmRawPTCEDB", QStringLiteral("Raw PTCE Database")},
        {"frmHelp", QStringLiteral("Orvanta Voxaren Stavio Administrator")},
    };
    for (const auto& [name, caption] : captions) {
        const QList<QWidget*> shown = visibleWindows(name);
        ASSERT_EQ(shown.size(), 1) << name;
        EXPECT_EQ(shown[0]->windowTitle(), caption) << name;
    }
    frmAbout about(window.get());
    about.show();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Orvanta Voxaren Stavio"));
    frmRemoteConnection remote(adminState);
    remote.show();
    EXPECT_EQ(remote.windowTitle(), QStringLiteral("Find and Connect to Remote Voxaren Server"));
    // The window system adds a display name to every caption; none is set.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST_F(WindowsTest, ViewAndHelpBringTheOpenWindowToTheFrontInsteadOfOpeningAnother) {
    ASSERT_TRUE(load());
    for (int i = 0; i < 3; ++i) trigger("mnuShowActivityWindow");
    EXPECT_EQ(visibleWindows("frmActivityViewer").size(), 1);
    EXPECT_EQ(prompts->shown, QStringList{englishString(1070)});  // one viewer, one message

    for (int i = 0; i < 3; ++i) trigger("mnuReports");
    ASSERT_EQ(visibleWindows("frmReports").size(), 1);
    QWidget* reports = visibleWindows("frmReports")[0];
    reports->showMinimized();
    trigger("mnuReports");
    EXPECT_EQ(visibleWindows("frmReports"), QList<QWidget*>{reports});
    EXPECT_FALSE(reports->isMinimized());

    trigger("mnuHelp");
    trigger("mnuHelp");
    EXPECT_EQ(visibleWindows("frmHelp").size(), 1);

    // The table of one server once; another server's table takes its place.
    const QString first = pmsTable("first.sqlite"), second = pmsTable("second.sqlite");
    child<QLineEdit>("txtPercipiaServerName")->setText(first);
    trigger("mnuViewRawDB");
    trigger("mnuViewRawDB");
    ASSERT_EQ(visibleWindows("frmRawPTCEDB").size(), 1);
    child<QLineEdit>("txtPercipiaServerName")->setText(second + QStringLiteral(" "));
    trigger("mnuViewRawDB");
    const QList<QWidget*> tables = visibleWindows("frmRawPTCEDB");
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(static_cast<frmRawPTCEDB*>(tables[0])->serverName(), second);

    // Once the service writes a log, the idle viewer makes way for one that
    // follows it; that one is then brought back.
    const QString log = path(QStringLiteral("VoxarenStavio_Log_20261206_07_05_09.TXT"));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("12/6/2026 7:05:09 AM,1001,SYNC_START,,,Sync started\r\n");
    file.close();
    setting(settingDefinition(Setting::CurrentLogFile).name, platform::RegValue::sz(log));
    trigger("mnuShowActivityWindow");
    QList<QWidget*> viewers = visibleWindows("frmActivityViewer");
    ASSERT_EQ(viewers.size(), 1);
    auto* viewer = static_cast<frmActivityViewer*>(viewers[0]);
    EXPECT_EQ(viewer->logFile(), log);
    trigger("mnuShowActivityWindow");
    EXPECT_EQ(visibleWindows("frmActivityViewer"), QList<QWidget*>{viewer});
    EXPECT_EQ(prompts->shown, QStringList{englishString(1070)});
}

// The window's own controls: named by the window, not by Qt, and not those
// of another window it holds.
template <class T>
QList<T*> controlsOf(QWidget* window) {
    QList<T*> controls;
    for (T* control : window->findChildren<T*>())
        if (control->window() == window && !control->objectName().isEmpty() &&
            !control->objectName().startsWith(QLatin1String("qt_")))
            controls << control;
    return controls;
}

// Every button, check box and menu has an access key, and no two controls of
// one window (or items of one menu) share one.
QStringList accessKeyProblems(QWidget* window) {
    QStringList problems;
    const QString where = window->objectName() + QStringLiteral(": ");
    QHash<QString, std::pair<QString, QString>> taken;  // key: what has it, with which caption
    const auto take = [&](const QString& text, const QString& what, bool required) {
        const QString key = QKeySequence::mnemonic(text).toString();
        if (key.isEmpty()) {
            if (required) problems << where + what + QStringLiteral(" has no access key in \"") + text + QLatin1Char('"');
            return;
        }
        // Labels of one caption share its key: the key moves to each in turn.
        if (taken.contains(key) && taken[key].second != text)
            problems << where + key + QStringLiteral(" twice: ") + taken[key].first + QStringLiteral(", ") + what;
        taken.insert(key, {what, text});
    };
    for (QAbstractButton* button : controlsOf<QAbstractButton>(window)) take(button->text(), button->objectName(), true);
    for (QLabel* label : controlsOf<QLabel>(window))
        if (label->buddy()) take(label->text(), label->objectName(), false);
    if (QMenuBar* bar = window->findChild<QMenuBar*>()) {
        for (QAction* title : bar->actions()) {
            take(title->text(), title->menu()->objectName(), true);
            QHash<QString, QString> items;
            for (QAction* item : title->menu()->actions()) {
                if (item->isSeparator()) continue;
                const QString key = QKeySequence::mnemonic(item->text()).toString();
                if (key.isEmpty()) problems << where + item->objectName() + QStringLiteral(" has no access key");
                else if (items.contains(key)) problems << where + key + QStringLiteral(" twice in ") + title->text();
                items.insert(key, item->objectName());
            }
        }
    }
    return problems;
}

TEST_F(WindowsTest, EveryButtonAndMenuHasAnAccessKeyOfItsOwnInEveryLanguage) {
    ASSERT_TRUE(load());
    child<QLineEdit>("txtPercipiaServerName")->setText(pmsTable("ptce.sqlite"));
    for (const char* action : {"mnuShowActivityWindow", "mnuReports", "mnuViewRawDB", "mnuViewGuest"}) trigger(action);
    frmAbout about(window.get());
    about.show();
    frmRemoteConnection remote(adminState);
    remote.show();
    QList<QWidget*> windows{window.get(), &about, &remote};
    for (const char* name : {"frmActivityViewer", "frmReports", "frmRawPTCEDB", "frmGuestView"}) {
        ASSERT_EQ(visibleWindows(name).size(), 1) << name;
        windows << visibleWindows(name)[0];
    }
    // The program's own English table first, then the language files it ships.
    for (const qint32 language : {0, 1031, 1033}) {
        if (language != 0) switchLanguage(language);
        QStringList problems;
        for (QWidget* w : windows) problems << accessKeyProblems(w);
        EXPECT_TRUE(problems.isEmpty()) << language << ":\n" << problems.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(WindowsTest, EveryLabelLeadsToItsControl) {
    ASSERT_TRUE(load());
    const QList<std::pair<const char*, const char*>> buddies{
        {"Label1", "txtPercipiaServerName"},  {"Label2", "cmbSubscriberTemplateAlias"},
        {"Label3", "cmbSyncCycleMinutes"},    {"Label4", "cmbMailboxArchiveDays"},
        {"labelArchiveLimitWarning", "cmbMailboxArchiveDays"},
        {"Label5", "cmbLogRetentionDays"},    {"Label6", "txtLogPath"},
        {"Label7", "dtArchiveTimeStart"},     {"Label9", "dtArchiveTimeStop"},
        {"Label8", "dtLogSweepTimeStart"},    {"Label10", "dtLogSweepTimeStop"},
        {"Label11", "txtGuestWelcomeMessageWAVPath"}};
    for (const auto& [label, control] : buddies)
        EXPECT_EQ(child<QLabel>(label)->buddy(), child<QWidget>(control)) << label;
    EXPECT_EQ(window->findChildren<QLabel*>().size(), buddies.size());  // no label left out

    frmReports reports(adminState);
    const QList<std::pair<const char*, const char*>> reportBuddies{{"lblDateRangeFrom", "dtReportStart"},
                                                                   {"lblDateRangeTo", "dtReportStop"},
                                                                   {"lblCheckInOut", "cmdCheckInOutReport"},
                                                                   {"lblArchivedMailbox", "cmdArchivedMailboxReport"}};
    for (const auto& [label, control] : reportBuddies)
        EXPECT_EQ(reports.findChild<QLabel*>(QLatin1String(label))->buddy(),
                  reports.findChild<QWidget*>(QLatin1String(control)))
            << label;

    frmRemoteConnection remote(adminState);
    EXPECT_EQ(remote.findChild<QLabel*>(QStringLiteral("lblDomain"))->buddy(),
              remote.findChild<QWidget*>(QStringLiteral("cmbDomain")));
    EXPECT_EQ(remote.findChild<QLabel*>(QStringLiteral("lblServers"))->buddy(),
              remote.findChild<QWidget*>(QStringLiteral("listSQLServers")));

    // A label's access key moves the focus to its control.
    window->show();
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(child<QLineEdit>("txtLogPath")->hasFocus());
    QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(child<QComboBox>("cmbSubscriberTemplateAlias")->hasFocus());
    // The two "To:" labels share their key: it moves to each stop picker in turn.
    QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(child<QWidget>("dtArchiveTimeStop")->hasFocus());
    QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_TRUE(child<QWidget>("dtLogSweepTimeStop")->hasFocus());
}

TEST_F(WindowsTest, PickersAndDropDownsKeepTheirWidthWhenTheSettingsWindowGrows) {
    ASSERT_TRUE(load());
    window->show();
    window->resize(1600, window->height());
    QApplication::processEvents();
    for (const char* name : {"cmbSubscriberTemplateAlias", "cmbSyncCycleMinutes", "cmbMailboxArchiveDays",
                             "cmbLogRetentionDays", "dtArchiveTimeStart", "dtArchiveTimeStop", "dtLogSweepTimeStart",
                             "dtLogSweepTimeStop"}) {
        QWidget* control = child<QWidget>(name);
        EXPECT_EQ(control->width(), control->sizeHint().width()) << name;
    }
    // The text boxes take the room.
    EXPECT_GT(child<QLineEdit>("txtLogPath")->width(), 1000);

    // A taller window keeps the rows together, the room goes above the buttons.
    const auto rowTops = [&] {
        QList<int> tops;
        for (const char* label : {"Label1", "Label2", "Label3", "Label6", "Label7", "Label11"}) tops << child<QWidget>(label)->y();
        return tops;
    };
    window->resize(window->width(), window->minimumSizeHint().height());
    QApplication::processEvents();
    const QList<int> natural = rowTops();
    window->resize(window->width(), 1000);
    QApplication::processEvents();
    EXPECT_EQ(rowTops(), natural);
    EXPECT_GT(child<QWidget>("cmdSave")->y(), 900);
}

TEST_F(WindowsTest, TheReportsWindowWrapsItsDescriptionsAndShowsThemWholeAtItsSmallestSize) {
    adminState.settings.PathToLogs = folder() + QStringLiteral("/logs/");
    frmReports reports(adminState);
    reports.show();
    reports.resize(1, 1);  // as small as it goes
    QApplication::processEvents();
    for (const char* name : {"lblCheckInOut", "lblArchivedMailbox"}) {
        auto* label = reports.findChild<QLabel*>(QLatin1String(name));
        ASSERT_TRUE(label) << name;
        EXPECT_TRUE(label->wordWrap()) << name;
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
        EXPECT_GT(label->heightForWidth(label->width()), label->fontMetrics().height()) << name << " fits one line";
    }
}

TEST_F(WindowsTest, TimePickersShowTheMachinesRegionalFormatInEveryLanguageAndTabLeavesThemAtOnce) {
    ASSERT_TRUE(load());
    auto* start = child<QTimeEdit>("dtArchiveTimeStart");
    EXPECT_EQ(start->text(), QStringLiteral("2:00:00 AM"));
    // German captions, the machine's regional format: as the guest view's dates.
    switchLanguage(1031);
    EXPECT_EQ(start->text(), QStringLiteral("2:00:00 AM"));
    EXPECT_EQ(start->time(), QTime(2, 0));

    platform::datefmt::RegionalFormat dayFirst;
    dayFirst.datePattern = QStringLiteral("d.M.yyyy");
    dayFirst.timePattern = QStringLiteral("HH:mm:ss");
    environment().setRegionalFormat(dayFirst);
    switchLanguage(1033);
    EXPECT_EQ(child<QTimeEdit>("dtLogSweepTimeStop")->text(), QStringLiteral("04:00:00"));

    // One Tab from picker to picker.
    window->show();
    QApplication::setActiveWindow(window.get());
    start->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(child<QWidget>("dtArchiveTimeStop")->hasFocus());
    frmReports reports(adminState);
    reports.show();
    QApplication::setActiveWindow(&reports);
    reports.findChild<QWidget*>(QStringLiteral("dtReportStart"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(reports.findChild<QWidget*>(QStringLiteral("dtReportStop"))->hasFocus());
}

}  // namespace
