// The reports over a month of logs: 30 daily log files of about 3.3 MB each
// (100 MB), written once into a temporary folder. Each report is timed beside
// a plain read of the same files (every byte read in large blocks, lines
// counted), which is the least any report can cost.
//
//   build/bin/reports_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "admin/reports/ReportBuilder.h"
#include "common/ErrorTrap.h"
#include "platform/datefmt.h"

namespace {

constexpr int kDays = 30;
constexpr qint64 kBytesPerFile = 3300 * 1000;

QString logFolder;
qint64 totalBytes = 0;

// A day of a busy hotel's log with "Debug Mode" on: mostly sweep and lamp
// lines, the debug lines of each guest action (whose titles begin like the
// reported ones), and the guest actions and archive deletions themselves.
QByteArray dayOfLog(QDate day, std::mt19937& random) {
    const QString rule(64, QLatin1Char('='));
    QByteArray text = (QStringList{rule, QStringLiteral("Running VoxarenStavio service version 1.0.0"),
                                   QStringLiteral("Local Voxaren version=4.0(3.89)"),
                                   QStringLiteral("Starting log at ") +
                                       platform::datefmt::generalDate(QDateTime(day, QTime(0, 0, 5))),
                                   rule, QString(),
                                   QStringLiteral("Time, Event ID, Event Title, Primary Room, Secondary Room, Description")}
                           .join(QStringLiteral("\r\n")) +
                       QStringLiteral("\r\n"))
                          .toUtf8();
    text.reserve(kBytesPerFile + 4096);
    std::uniform_int_distribution<int> percent(0, 99), room(101, 1420);
    int second = 5;
    while (text.size() < kBytesPerFile) {
        second = std::min(second + 2, 86399);
        const QByteArray time = platform::datefmt::generalDate(QDateTime(day, QTime(0, 0).addSecs(second))).toUtf8();
        const QByteArray a = QByteArray::number(room(random)), b = QByteArray::number(room(random));
        const int p = percent(random);
        QByteArray line;
        if (p < 35)
            line = time + ",1019,SYNC_DEBUG,,,Checking room=" + a + " OccStatus=1 upd_by_ptce=0 otherroomno=0";
        else if (p < 50)
            line = time + ",1023,MWI_SYNC_DEBUG," + a + ",,Lamp state for subscriber alias=ROOM213456789_" + a + " is 0";
        else if (p < 58)
            line = time + ",1011,SYNC_START,,,Synchronization sweep started";
        else if (p < 66)
            line = time + ",1012,SYNC_FINISHED,,,Synchronization sweep finished, 1320 rooms read";
        else if (p < 74)
            line = time + ",1007,CHECK_IN_DEBUG," + a + ",,First Name= ANNA, Last Name= LEE-PARK, Language=1033";
        else if (p < 80)
            line = time + ",1008,CHECK_OUT_DEBUG," + a + ",,Archiving subscriber alias=ROOM213456789_" + a;
        else if (p < 84)
            line = time + ",1009,ROOM_MOVE_DEBUG," + a + "," + b + ",Records for target room=" + b + " cleared";
        else if (p < 87)
            line = time + ",1015,ROOM_DELETE_DEBUG," + a + ",,Deleting subscriber OUT_ROOM213456789_" + a;
        else if (p < 90)
            line = time + ",1020,ROOM_UPDATE," + a + ",,Names updated for Anna Lee-Park";
        else if (p < 93)
            line = time + ",1003,CHECK_IN," + a + ",,New mailbox created for Anna Lee-Park";
        else if (p < 96)
            line = time + ",1004,CHECK_OUT," + a + ",,Mailbox checked out";
        else if (p < 97)
            line = time + ",1005,ROOM_MOVE," + a + "," + b + ",Room move completed";
        else if (p < 98)
            line = time + ",1006,ROOM_SWAP," + a + "," + b + ",Room swap completed";
        else if (p < 99)
            line = time + ",1013,ROOM_DELETE," + a +
                   ",,Found room to delete during SweepForRoomDeletes - Alias=OUT_ROOM213456789_" + a;
        else
            line = time + ",4,ERROR,,,(error):-2147217843 (Access denied for user 'vms', using password: YES) "
                          "in procedure SweepForUpdates of Module modPMSFunctions";
        text += line + "\r\n";
    }
    return text;
}

void writeMonthOfLogs(const QString& folder) {
    std::mt19937 random(20061206);
    const QDate first(2006, 11, 7);
    for (int d = 0; d < kDays; ++d) {
        const QDate day = first.addDays(d);
        const QByteArray text = dayOfLog(day, random);
        QFile file(folder + QStringLiteral("VoxarenStavio_Log_") +
                   platform::datefmt::yyyymmdd_hh_mm_ss(QDateTime(day, QTime(0, 0, 5))) + QStringLiteral(".TXT"));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) qFatal("cannot write the logs");
        totalBytes += text.size();
    }
}

void PlainRead(benchmark::State& state) {
    const QStringList names = QDir(logFolder).entryList({QStringLiteral("VoxarenStavio_Log_*")}, QDir::Files, QDir::Name);
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        qint64 lines = 0;
        for (const QString& name : names) {
            QFile file(logFolder + name);
            if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) state.SkipWithError("cannot open a log");
            qint64 got;
            while ((got = file.read(buffer.data(), qint64(buffer.size()))) > 0) {
                const char* const end = buffer.data() + got;
                for (const char* p = buffer.data();
                     (p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)))); ++p)
                    ++lines;
            }
        }
        benchmark::DoNotOptimize(lines);
        state.counters["lines"] = double(lines);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes);
}

void BuildReport(benchmark::State& state, reports::ReportKind kind, bool handleEvents) {
    ErrorTrap trap("cmdCheckInOutReport_Click", "Form", "frmReports");
    reports::ReportBuilder builder(trap);
    if (handleEvents) builder.setYield([] { QCoreApplication::processEvents(); });
    for (auto _ : state) {
        const reports::ReportResult result = builder.build({kind, logFolder, QDate(2006, 11, 1), QDate(2006, 12, 31)});
        state.PauseTiming();
        if (result.parsedFiles != kDays || trap.errors() > 0) state.SkipWithError("the report missed files");
        state.counters["report lines"] = double(result.linesWritten);
        QFile::remove(result.path);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * totalBytes);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    logFolder = dir.path() + QLatin1Char('/');
    writeMonthOfLogs(logFolder);

    benchmark::RegisterBenchmark("PlainRead", PlainRead)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RoomActivity", BuildReport, reports::ReportKind::RoomActivity, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ArchivedMailbox", BuildReport, reports::ReportKind::ArchivedMailbox, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RoomActivity/EventsEvery100Lines", BuildReport, reports::ReportKind::RoomActivity, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
