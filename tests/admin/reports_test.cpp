// The reports: which log files and lines they take, what they write, and the
// reports window's questions, messages and behaviour during a run.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "admin/core/AdminState.h"
#include "admin/core/reports/ReportBuilder.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmReports.h"
#include "common/ErrorTrap.h"
#include "platform/clock.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

using modLocalize::myLoadResString;
using reports::ReportKind;
using reports::ReportResult;

namespace {

const QDateTime kRunTime(QDate(2006, 12, 8), QTime(7, 30, 0));
const QByteArray kRoomActivityHeader = "TIME, ACTION, PRIMARY_ROOM_EXTENSION, SECONDARY_ROOM_EXTENSION,COMMENT\r\n";
const QByteArray kArchivedHeader = "TIME, ACTION, PRIMARY_ROOM_EXTENSION, COMMENT\r\n";

QDate december(int day) { return QDate(2006, 12, day); }

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReportsTest : public AdminFixture<StavioTest> {
protected:
    ReportsTest() { fakeClockStart = kRunTime; }
    void SetUp() override {
        AdminFixture::SetUp();
        showErrors();
        logs = folder() + QStringLiteral("/logs/");
        ASSERT_TRUE(QDir().mkpath(logs));
        adminState.settings.PathToLogs = logs;
    }
    void TearDown() override {
        window.reset();
        AdminFixture::TearDown();
    }

    // A log file as the service writes it: its header block, then the entries,
    // every line ended by CR LF unless the last is left open.
    void writeLog(const QString& name, const QStringList& entries, bool endLastLine = true) {
        const QString rule(64, QLatin1Char('='));
        QStringList lines{rule,
                          QStringLiteral("Running VoxarenStavio service version 1.0.0"),
                          QStringLiteral("Local Voxaren version=4.0(3.89)"),
                          QStringLiteral("Starting log at 12/6/2006 7:05:09 AM"),
                          rule,
                          QString(),
                          QStringLiteral("Time, Event ID, Event Title, Primary Room, Secondary Room, Description")};
        lines += entries;
        QByteArray bytes = lines.join(QStringLiteral("\r\n")).toUtf8();
        if (endLastLine) bytes += "\r\n";
        QFile file(logs + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // `count` check-ins of rooms first, first + 1, ...
    static QStringList checkIns(int first, int count) {
        QStringList entries;
        for (int i = 0; i < count; ++i)
            entries << QStringLiteral("12/6/2006 8:00:00 AM,1003,CHECK_IN,%1,,New mailbox created for Guest %1")
                           .arg(first + i);
        return entries;
    }

    ReportResult build(ReportKind kind, QDate start, QDate stop, qsizetype blockSize = 0) {
        ErrorTrap trap("cmdCheckInOutReport_Click", "Form", "frmReports");
        reports::ReportBuilder builder(trap);
        builder.setBlockSize(blockSize);
        builder.setYield([this] { ++yields; });
        builder.setProgress([this](int parsed, int inRange) { progress << QStringLiteral("%1/%2").arg(parsed).arg(inRange); });
        return builder.build({kind, logs, start, stop, QString()});
    }
    QStringList reportFiles() const { return QDir(logs).entryList({QStringLiteral("*.csv")}, QDir::Files); }

    frmReports& open() {
        window = std::make_unique<frmReports>(adminState);
        return *window;
    }
    template <class T>
    T* child(const char* name) {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void setRange(QDate start, QDate stop) {
        child<QDateEdit>("dtReportStart")->setDate(start);
        child<QDateEdit>("dtReportStop")->setDate(stop);
    }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    std::unique_ptr<frmReports> window;
    QString logs;
    int yields = 0;
    QStringList progress;
};

}  // namespace

TEST_F(ReportsTest, ReportLinesCopyTheLogsFieldsAndCutTheMessageAtItsFirstComma) {
    writeLog(QStringLiteral("VoxarenStavio_Log_20061206_07_05_09.TXT"),
             {
                 QStringLiteral("12/6/2006 7:05:09 AM,1003,check_in,214,215,New mailbox created for Anna Lee"),
                 QStringLiteral("12/6/2006 7:06:00 AM,1007,CHECK_IN_DEBUG,214,,First Name= ANNA"),
                 QStringLiteral("12/6/2006 7:07:00 AM,1005,ROOM_MOVE,101,102,Room move completed"),
                 QStringLiteral("12/6/2006 7:08:00 AM,1006,Room_Swap,103,104,Room swap completed, both rooms"),
                 QStringLiteral("12/6/2006 7:09:00 AM,1004,CHECK_OUT,105,106,Mailbox checked out"),
                 QStringLiteral("12/6/2006 7:10:00 AM,1013,ROOM_DELETE,3105,,Found room to delete during "
                                "SweepForRoomDeletes - Alias=OUT_ROOM1,20061206"),
                 QStringLiteral("12/6/2006 7:11:00 AM,1004,CHECK_OUT,106,"),  // five fields only
                 QStringLiteral("12/6/2006 7:12:00 AM,1003,check_\u0131n,107,,Upper case makes it CHECK_IN"),
                 QStringLiteral("12/6/2006 7:13:00 AM,1020,ROOM_UPDATE,108,,CHECK_IN"),
                 QStringLiteral("12/6/2006 7:14:00 AM,1004,CHECK_OUT,109,,M\u00fcller, J\u00f6rg"),
                 // Fields beyond the first 64 bytes of a line.
                 QStringLiteral("12/6/2006 7:15:00 AM as the service wrote it after the clock was set back,1003,"
                                "CHECK_IN,110,,Late"),
             },
             false);
    const QByteArray roomActivity =
        kRoomActivityHeader +
        "12/6/2006 7:05:09 AM,check_in,214,,New mailbox created for Anna Lee\r\n"
        "12/6/2006 7:07:00 AM,ROOM_MOVE,101,102,Room move completed\r\n"
        "12/6/2006 7:08:00 AM,Room_Swap,103,104,Room swap completed\r\n"
        "12/6/2006 7:09:00 AM,CHECK_OUT,105,,Mailbox checked out\r\n" +
        QStringLiteral("12/6/2006 7:12:00 AM,check_\u0131n,107,,Upper case makes it CHECK_IN\r\n"
                       "12/6/2006 7:14:00 AM,CHECK_OUT,109,,M\u00fcller\r\n"
                       "12/6/2006 7:15:00 AM as the service wrote it after the clock was set back,CHECK_IN,110,,Late\r\n")
            .toUtf8();
    const QByteArray archived = kArchivedHeader +
                                "12/6/2006 7:10:00 AM,ROOM_DELETE,3105,Found room to delete during "
                                "SweepForRoomDeletes - Alias=OUT_ROOM1\r\n";

    // Small blocks split lines, CR LF pairs and multi-byte characters across reads.
    for (const qsizetype blockSize : {qsizetype(0), qsizetype(1), qsizetype(7), qsizetype(64)}) {
        SCOPED_TRACE(blockSize);
        const ReportResult activity = build(ReportKind::RoomActivity, december(6), december(6), blockSize);
        EXPECT_EQ(activity.path, logs + QStringLiteral("Room_Activity__2006_12_08_07_30_00.csv"));
        EXPECT_EQ(activity.status, ReportResult::Status::Written);
        EXPECT_EQ(activity.parsedFiles, 1);
        EXPECT_EQ(readBytes(activity.path), roomActivity);

        const ReportResult deleted = build(ReportKind::ArchivedMailbox, december(6), december(6), blockSize);
        EXPECT_EQ(deleted.path, logs + QStringLiteral("Archived_Room__2006_12_08_07_30_00.csv"));
        EXPECT_EQ(readBytes(deleted.path), archived);
    }
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(ReportsTest, TheDayInTheFileNameDecidesWhichFilesAreRead) {
    // A file whose name's day is in range is read whole, whatever its entries' dates.
    writeLog(QStringLiteral("VoxarenStavio_Log_20061206_23_59_59.TXT"),
             {QStringLiteral("12/6/2006 11:59:59 PM,1003,CHECK_IN,200,,The 6th's own entry"),
              QStringLiteral("12/7/2006 1:00:00 AM,1003,CHECK_IN,201,,From the 6th's file")});
    writeLog(QStringLiteral("voxarenstavio_LOG_20061208_00_00_01.txt"),
             {QStringLiteral("12/8/2006 1:00:00 AM,1003,CHECK_IN,202,,Prefix in other letter case")});
    writeLog(QStringLiteral("Old_VoxarenStavio_Log_20061206_07_00_00.TXT"),
             {QStringLiteral("12/6/2006 1:00:00 AM,1003,CHECK_IN,203,,Not a log file")});
    ASSERT_TRUE(QDir().mkpath(logs + QStringLiteral("VoxarenStavio_Log_20061206_folder")));

    const auto parsed = [&](int start, int stop) {
        return build(ReportKind::RoomActivity, december(start), december(stop)).parsedFiles;
    };
    EXPECT_EQ(parsed(6, 6), 1);
    EXPECT_EQ(parsed(5, 7), 1);
    EXPECT_EQ(parsed(8, 8), 1);
    const ReportResult both = build(ReportKind::RoomActivity, december(6), december(8));
    EXPECT_EQ(both.parsedFiles, 2);
    EXPECT_EQ(readBytes(both.path), kRoomActivityHeader +
                                        "12/6/2006 11:59:59 PM,CHECK_IN,200,,The 6th's own entry\r\n"
                                        "12/7/2006 1:00:00 AM,CHECK_IN,201,,From the 6th's file\r\n"
                                        "12/8/2006 1:00:00 AM,CHECK_IN,202,,Prefix in other letter case\r\n");

    // The log begun the evening before holds the day's first hours: its
    // entries of the range are taken, and it counts as read.
    const ReportResult nextDay = build(ReportKind::RoomActivity, december(7), december(7));
    EXPECT_EQ(nextDay.parsedFiles, 1);
    EXPECT_EQ(readBytes(nextDay.path), kRoomActivityHeader + "12/7/2006 1:00:00 AM,CHECK_IN,201,,From the 6th's file\r\n");
    // One whose entries all lie before the range is not counted.
    EXPECT_EQ(parsed(9, 9), 0);
}

TEST_F(ReportsTest, FilesAreReadInNameOrderWithProgressAndAPauseEveryHundredLinesOfTheRun) {
    // Written newest first; the report still runs from the oldest.
    writeLog(QStringLiteral("VoxarenStavio_Log_20061207_06_00_00.TXT"), checkIns(300, 40));
    writeLog(QStringLiteral("VoxarenStavio_Log_20061206_12_00_00.TXT"), checkIns(200, 120));
    writeLog(QStringLiteral("VoxarenStavio_Log_20061206_06_00_00.TXT"), checkIns(100, 50));

    const ReportResult result = build(ReportKind::RoomActivity, december(6), december(7));
    EXPECT_EQ(result.parsedFiles, 3);
    EXPECT_EQ(result.linesWritten, 210);
    EXPECT_EQ(progress, (QStringList{"0/3", "1/3", "2/3", "3/3"}));
    // 3 x 7 header lines + 210 entries: two pauses, though no single file reaches 200 lines.
    EXPECT_EQ(yields, 2);

    const QList<QByteArray> lines = readBytes(result.path).split('\n');
    ASSERT_EQ(lines.size(), 212);  // header, 210 entries, nothing after the last line end
    for (int i = 0; i < 210; ++i) {
        const int room = i < 50 ? 100 + i : i < 170 ? 200 + (i - 50) : 300 + (i - 170);
        ASSERT_TRUE(lines[i + 1].contains(",CHECK_IN," + QByteArray::number(room) + ",,")) << i;
    }
}

TEST_F(ReportsTest, StartAfterStopIsRefusedAndNothingIsWritten) {
    writeLog(QStringLiteral("VoxarenStavio_Log_20061206_07_05_09.TXT"), checkIns(101, 1));
    open();
    setRange(december(7), december(6));
    click("cmdCheckInOutReport");
    click("cmdArchivedMailboxReport");
    EXPECT_EQ(prompts->shown, QStringList(2, myLoadResString(1105)));
    EXPECT_TRUE(reportFiles().isEmpty());
    EXPECT_TRUE(runner->calls.empty());

    // Equal days are a range of one day.
    setRange(december(6), december(6));
    click("cmdCheckInOutReport");
    EXPECT_EQ(reportFiles().size(), 1);
}

TEST_F(ReportsTest, AMissingLogFolderWritesNothing) {
    adminState.settings.PathToLogs = folder() + QStringLiteral("/gone/");
    open();
    setRange(december(1), december(31));
    click("cmdCheckInOutReport");
    EXPECT_EQ(prompts->shown, QStringList{myLoadResString(1128)});
    EXPECT_FALSE(QFileInfo::exists(folder() + QStringLiteral("/gone")));

    adminState.settings.PathToLogs.clear();
    click("cmdArchivedMailboxReport");
    EXPECT_EQ(prompts->shown.last(), myLoadResString(1128));
}

TEST_F(ReportsTest, NoFileInRangeLeavesAHeaderOnlyReport) {
    writeLog(QStringLiteral("VoxarenStavio_Log_20061206_07_05_09.TXT"),
             {QStringLiteral("12/6/2006 7:10:00 AM,1013,ROOM_DELETE,3105,,Found room to delete")});
    open();
    setRange(december(7), december(8));
    click("cmdArchivedMailboxReport");
    EXPECT_EQ(prompts->shown, QStringList{myLoadResString(1073)});
    EXPECT_EQ(readBytes(logs + QStringLiteral("Archived_Room__2006_12_08_07_30_00.csv")), kArchivedHeader);
    EXPECT_TRUE(runner->calls.empty());
}

TEST_F(ReportsTest, TheClosingQuestionCountsTheFilesAndOkOpensTheReport) {
    for (const char* name : {"VoxarenStavio_Log_20061205_03_00_00.TXT", "VoxarenStavio_Log_20061206_03_00_00.TXT",
                             "VoxarenStavio_Log_20061207_03_00_00.TXT"})
        writeLog(QLatin1String(name), checkIns(101, 2));
    open();
    setRange(december(5), december(7));
    prompts->answers = {true, false};
    click("cmdCheckInOutReport");
    const QString report = logs + QStringLiteral("Room_Activity__2006_12_08_07_30_00.csv");
    ASSERT_EQ(prompts->shown.size(), 1);
    EXPECT_EQ(prompts->shown[0], QStringLiteral(" 3") + myLoadResString(1001) + report + QLatin1Char('\n') +
                                     myLoadResString(1080));
    EXPECT_EQ(runner->commandLines(), QStringList{QStringLiteral("xdg-open ") + report});
    EXPECT_TRUE(runner->calls[0].detached);

    clock->advanceMs(1000);
    click("cmdCheckInOutReport");  // Cancel
    EXPECT_EQ(prompts->shown.size(), 2);
    EXPECT_EQ(runner->calls.size(), 1u);
    EXPECT_EQ(reportFiles().size(), 2);

    // OK where no viewer opens it: the report's path, and xdg-open's reason.
    runner->watchedFailure = platform::ProcessOutcome{true, false, 3, QStringLiteral("xdg-open: no method available")};
    prompts->answers = {true};
    clock->advanceMs(1000);
    click("cmdCheckInOutReport");
    const QString third = logs + QStringLiteral("Room_Activity__2006_12_08_07_30_02.csv");
    EXPECT_EQ(prompts->shown.last(), myLoadResString(1157) + third + QStringLiteral("\n\nxdg-open: no method available"));
}

TEST_F(ReportsTest, AnUnreadableDayInAFileNameIsReportedAndTheFileSkipped) {
    writeLog(QStringLiteral("VoxarenStavio_Log_2006XX06_07_05_09.TXT"), checkIns(101, 1));
    writeLog(QStringLiteral("VoxarenStavio_Log_20061332_07_05_09.TXT"), checkIns(102, 1));
    writeLog(QStringLiteral("VoxarenStavio_Log_20061206_07_05_09.TXT"), checkIns(103, 1));
    open();
    setRange(QDate(2006, 1, 1), QDate(2007, 12, 31));
    click("cmdArchivedMailboxReport");
    const QString tail = QStringLiteral(") in procedure cmdArchivedMailboxReport_Click of Form frmReports");
    ASSERT_EQ(prompts->shown.size(), 3);
    EXPECT_EQ(prompts->shown[0],
              QStringLiteral("(error):13 (Type mismatch: VoxarenStavio_Log_20061332_07_05_09.TXT") + tail);
    EXPECT_EQ(prompts->shown[1],
              QStringLiteral("(error):13 (Type mismatch: VoxarenStavio_Log_2006XX06_07_05_09.TXT") + tail);
    EXPECT_TRUE(prompts->shown[2].startsWith(QStringLiteral(" 1") + myLoadResString(1001)));
}

TEST_F(ReportsTest, TheWindowOpensOnTodayAndStaysResponsiveButLockedDuringARun) {
    open();
    EXPECT_TRUE(window->isWindow());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), myLoadResString(1040));
    EXPECT_EQ(child<QPushButton>("cmdCheckInOutReport")->text(), myLoadResString(1088));
    EXPECT_EQ(child<QDateEdit>("dtReportStart")->date(), kRunTime.date());
    EXPECT_EQ(child<QDateEdit>("dtReportStop")->date(), kRunTime.date());
    EXPECT_TRUE(child<QDateEdit>("dtReportStart")->calendarPopup());

    writeLog(QStringLiteral("VoxarenStavio_Log_20061208_00_00_00.TXT"), checkIns(1000, 500));
    window->show();
    // Events queued before the click are handled while the report is built.
    bool ranDuringRun = false, exitLocked = false, barShown = false, closeRefused = false;
    QTimer::singleShot(0, window.get(), [&] {
        ranDuringRun = window->running();
        exitLocked = !child<QPushButton>("cmdExit")->isEnabled();
        barShown = child<QProgressBar>("prgReport")->isVisible();
        closeRefused = !window->close();
    });
    click("cmdCheckInOutReport");
    EXPECT_TRUE(ranDuringRun);
    EXPECT_TRUE(exitLocked);
    EXPECT_TRUE(barShown);
    EXPECT_TRUE(closeRefused);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(child<QProgressBar>("prgReport")->isVisible());
    EXPECT_TRUE(child<QPushButton>("cmdExit")->isEnabled());

    click("cmdExit");
    EXPECT_FALSE(window->isVisible());
}
