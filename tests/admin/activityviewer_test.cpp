// The activity viewer following the service's diagnostic log while another
// process writes it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "admin/localize/modLocalize.h"
#include "admin/windows/LogLineView.h"
#include "admin/windows/frmActivityViewer.h"
#include "common/DiagnosticLogFile.h"
#include "common/ErrorTrap.h"
#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

using modLocalize::englishString;

namespace {

class ActivityViewerTest : public AdminFixture<StavioTest> {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        showErrors();
        RegistryAPI::CreateKey(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey));
        log = path(QStringLiteral("VoxarenStavio_Log_20261206_07_05_09.TXT"));
    }
    void TearDown() override {
        window.reset();
        AdminFixture::TearDown();
    }

    // The service starts its log: the file with its header, and "CurrentLogFile".
    void serviceStartsLog() {
        serviceState.log.StartLogFile(log);
        serviceState.log.WriteLine(
            QStringLiteral("12/6/2026 7:05:09 AM,1011,SYNC_START,,,Sync started"));
        serviceState.log.CloseLogFile();
        ASSERT_EQ(readSetting(Setting::CurrentLogFile, SettingsReader::Administration).toString(), log);
    }
    // Another process appends bytes to a file, as the service does while the viewer reads.
    static void appendByProcess(const QString& file, const QByteArray& bytes) {
        QProcess sh;
        sh.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("printf '%s' \"$1\" >> \"$2\""),
                                        QStringLiteral("sh"), QString::fromUtf8(bytes), file});
        ASSERT_TRUE(sh.waitForFinished(10000));
        ASSERT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().toStdString();
    }
    static void write(const QString& file, const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly) {
        QFile f(file);
        ASSERT_TRUE(f.open(mode));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // The file as the box must show it.
    static QString shown(const QString& file) { return readFile(file).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

    LogLineView* box() { return window->findChild<LogLineView*>(QStringLiteral("myRTF")); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(QLatin1String(name)); }
    QCheckBox* alwaysOnTop() { return window->findChild<QCheckBox*>(QStringLiteral("chkAlwaysOnTop")); }
    QTimer* timer() { return window->findChild<QTimer*>(QStringLiteral("Timer")); }
    void open() { window = std::make_unique<frmActivityViewer>(); }

    std::unique_ptr<frmActivityViewer> window;
    QString log;
};

}  // namespace

TEST_F(ActivityViewerTest, WithoutALogFileItSaysWhyAndStaysIdleWithPauseGreyed) {
    const auto expectIdleWith = [this](int message) {
        prompts->shown.clear();
        open();
        EXPECT_EQ(prompts->shown, QStringList{englishString(message)});
        EXPECT_TRUE(box()->text().isEmpty());
        EXPECT_FALSE(button("cmdPause")->isEnabled());
        EXPECT_FALSE(timer()->isActive());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvanta Voxaren Stavio Activity Viewer"));
        EXPECT_EQ(button("cmdPause")->text(), QStringLiteral("&Pause"));
        EXPECT_EQ(button("cmdExit")->text(), QStringLiteral("E&xit"));
        EXPECT_EQ(alwaysOnTop()->text(), QStringLiteral("Always on &top"));
    };
    expectIdleWith(1070);  // no "CurrentLogFile" value
    writeSetting(Setting::CurrentLogFile, log);
    expectIdleWith(1048);  // a value naming a file that is gone
    writeSetting(Setting::CurrentLogFile, folder());
    expectIdleWith(1048);  // a folder is no log file
}

TEST_F(ActivityViewerTest, ShowsLinesAnotherProcessAppendsAtItsNextTick) {
    serviceStartsLog();
    open();
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvanta Voxaren Stavio Activity Viewer - ") + log);
    EXPECT_EQ(box()->text(), shown(log));
    EXPECT_TRUE(box()->text().endsWith(QStringLiteral("SYNC_START,,,Sync started\n")));
    EXPECT_TRUE(button("cmdPause")->isEnabled());
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 2000);

    appendByProcess(log, "12/6/2026 7:05:11 AM,1003,CHECK_IN,214,,New mailbox created for ANNA LEE\r\n");
    EXPECT_FALSE(box()->text().contains(QStringLiteral("ANNA LEE")));  // not before the tick
    // A gtest check: QTRY_VERIFY's failure would go unseen here.
    ASSERT_TRUE(QTest::qWaitFor([&] { return box()->text().contains(QStringLiteral("ANNA LEE")); }, 5000));
    EXPECT_EQ(box()->text(), shown(log));
}

TEST_F(ActivityViewerTest, PausedItShowsNothingNewUntilResumeAndThenAtOnce) {
    serviceStartsLog();
    open();
    const QString before = box()->text();
    button("cmdPause")->click();
    EXPECT_EQ(button("cmdPause")->text(), QStringLiteral("&Resume"));
    EXPECT_FALSE(timer()->isActive());

    appendByProcess(log, "12/6/2026 7:05:13 AM,1004,CHECK_OUT,214,,Mailbox archived\r\n");
    EXPECT_EQ(box()->text(), before);

    button("cmdPause")->click();  // no event loop in between: the refresh runs on the click
    EXPECT_EQ(box()->text(), shown(log));
    EXPECT_TRUE(box()->text().endsWith(QStringLiteral("CHECK_OUT,214,,Mailbox archived\n")));
    EXPECT_EQ(button("cmdPause")->text(), QStringLiteral("&Pause"));
    EXPECT_TRUE(timer()->isActive());
}

TEST_F(ActivityViewerTest, ALogReplacedOrShortenedIsReadAnew) {
    serviceStartsLog();
    open();
    const QByteArray line = "12/6/2026 7:06:00 AM,1019,SYNC_DEBUG,,,Sweep found no changes\r\n";

    // The service starts anew under the same name: a longer file where the old one was.
    serviceState.log.StartLogFile(log);
    for (int i = 0; i < 5; ++i)
        serviceState.log.WriteLine(
            QStringLiteral("12/6/2026 7:05:30 AM,1020,ROOM_UPDATE,%1,,x").arg(300 + i));
    serviceState.log.CloseLogFile();
    window->RefreshText();
    EXPECT_EQ(box()->text(), shown(log));

    // Rewritten in place, so the inode stays, and longer than before.
    QByteArray rewritten;
    for (int i = 0; i < 8; ++i) rewritten += line;
    write(log, rewritten);
    window->RefreshText();
    EXPECT_EQ(box()->text(), shown(log));

    // Cut short.
    write(log, line);
    window->RefreshText();
    EXPECT_EQ(box()->text(), shown(log));

    // Another file moved over it.
    const QString other = path(QStringLiteral("other.TXT"));
    write(other, "12/6/2026 7:07:00 AM,1012,SYNC_FINISHED,,,Sync finished\r\n" + rewritten);
    ASSERT_TRUE(QFile::remove(log) && QFile::rename(other, log));
    window->RefreshText();
    EXPECT_EQ(box()->text(), shown(log));
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(ActivityViewerTest, ShowsTheWholeFileScrolledToItsEndWhateverItsWritesSplit) {
    // Two-, three- and four-byte characters, lines long enough to scroll.
    QByteArray content;
    for (int i = 0; i < 2000; ++i)
        content += QStringLiteral("12/6/2026 7:%1:00 AM,1003,CHECK_IN,%2,,New mailbox created for Jürgen Ölmez € 𝄞\r\n")
                       .arg(i % 60)
                       .arg(100 + i)
                       .toUtf8();
    writeSetting(Setting::CurrentLogFile, log);
    // The first part ends inside a character; later parts between CR and LF and inside the four-byte one.
    const qsizetype euro = content.indexOf("\xE2\x82\xAC", content.size() / 2);
    const qsizetype crlf = content.indexOf("\r\n", euro) + 1;
    const qsizetype clef = content.indexOf("\xF0\x9D\x84\x9E", crlf) + 2;
    write(log, content.left(euro + 1));
    open();
    window->show();
    QApplication::processEvents();  // laid out and shown before the service writes on
    for (const auto& [from, to] : {std::pair{euro + 1, crlf}, std::pair{crlf, clef}, std::pair{clef, content.size()}}) {
        EXPECT_FALSE(box()->text().contains(QChar::ReplacementCharacter));
        write(log, content.mid(from, to - from), QIODevice::Append);
        window->RefreshText();
    }
    EXPECT_EQ(box()->text(), QString::fromUtf8(content).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(box()->lineCount(), 2000);
    QApplication::processEvents();
    const QScrollBar* scroll = box()->verticalScrollBar();
    EXPECT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    EXPECT_EQ(scroll->maximum(), box()->lineCount() - scroll->pageStep());  // the last line at the bottom
    EXPECT_EQ(box()->currentLine(), box()->lineCount() - 1);
}

TEST_F(ActivityViewerTest, ARefreshReadsOnlyWhatWasAppended) {
    // A change inside what was already read (not near its end) is not read
    // again: a refresh costs the new lines, not the whole log. The lines are
    // read from the file as they are shown, so the change is told by the line
    // end it adds, which a second pass over the file would count.
    QByteArray content;
    for (int i = 0; i < 200; ++i) content += "12/6/2026 7:05:09 AM,1019,SYNC_DEBUG,,,line\r\n";
    write(log, content);
    writeSetting(Setting::CurrentLogFile, log);
    open();
    QByteArray changed = content;
    changed.replace(0, 2, "1\n");
    write(log, changed + "12/6/2026 7:05:10 AM,1012,SYNC_FINISHED,,,done\r\n");
    window->RefreshText();
    EXPECT_EQ(box()->lineCount(), 201);
    EXPECT_TRUE(box()->text().endsWith(QStringLiteral("SYNC_FINISHED,,,done\n")));
}

TEST_F(ActivityViewerTest, AnUnreadableLogIsReportedOnceAndTheTextKept) {
    serviceStartsLog();
    open();
    const QString before = box()->text();
    ASSERT_TRUE(QFile::remove(log));
    window->RefreshText();
    window->RefreshText();
    EXPECT_EQ(prompts->shown,
              QStringList{QStringLiteral("(error):53 (File not found) in procedure RefreshText of Form frmActivityViewer")});
    EXPECT_EQ(box()->text(), before);
    EXPECT_TRUE(timer()->isActive());  // it tries again

    serviceStartsLog();
    window->RefreshText();
    EXPECT_EQ(box()->text(), shown(log));
    ASSERT_TRUE(QFile::remove(log));
    window->RefreshText();
    EXPECT_EQ(prompts->shown.size(), 2);  // failing again after a success is reported again
}

TEST_F(ActivityViewerTest, AlwaysOnTopChangesOnlyTheStacking) {
    serviceStartsLog();
    open();
    window->show();
    window->move(40, 60);
    window->resize(700, 320);
    QApplication::processEvents();
    const Qt::WindowFlags flags = window->windowFlags();
    const QRect geometry = window->geometry();
    ASSERT_FALSE(flags.testFlag(Qt::WindowStaysOnTopHint));

    alwaysOnTop()->click();
    QApplication::processEvents();
    EXPECT_EQ(window->windowFlags(), flags | Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(box()->text(), shown(log));

    alwaysOnTop()->click();
    QApplication::processEvents();
    EXPECT_EQ(window->windowFlags(), flags);
    EXPECT_FALSE(window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ActivityViewerTest, LayoutKeepsTheLogAboveItsButtonsDownToTheSmallestSize) {
    serviceStartsLog();
    QWidget mainWindow;
    window = std::make_unique<frmActivityViewer>(&mainWindow);
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    // Monospaced as shown: "i" as wide as "W". (Qt's fixedPitch() reads a font
    // property some monospaced fonts, Noto Sans Mono among them, lack.)
    const QFontMetrics shownFont(box()->font());
    EXPECT_EQ(shownFont.horizontalAdvance(QLatin1Char('i')), shownFont.horizontalAdvance(QLatin1Char('W')));
    QTest::keyClicks(box(), QStringLiteral("typed\b\b"));  // read-only: typing changes nothing
    EXPECT_EQ(box()->text(), shown(log));
    window->show();
    window->resize(100, 50);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(8000 / 15, 2600 / 15));  // 8000 x 2600 twips
    const QRect text = box()->geometry(), check = alwaysOnTop()->geometry();
    const QRect pause = button("cmdPause")->geometry(), exit = button("cmdExit")->geometry();
    for (const QRect& control : {check, pause, exit}) {
        EXPECT_GE(control.top(), text.bottom());
        EXPECT_LE(control.bottom(), window->height());
    }
    EXPECT_LT(check.right(), pause.left());
    EXPECT_LT(pause.right(), exit.left());
    EXPECT_GT(exit.right(), window->width() - 30);

    button("cmdExit")->click();
    EXPECT_FALSE(window->isVisible());
    window.reset();  // before the main window that owns it
}
