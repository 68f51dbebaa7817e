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
#include <cstring>
#include <random>
#include <vector>

#include "admin/core/reports/ReportBuilder.h"
#include "bench/SampleLog.h"
#include "common/ErrorTrap.h"
#include "platform/datefmt.h"
#include "platform/eventpump.h"

namespace {

constexpr int kDays = 30;
constexpr qint64 kBytesPerFile = 3300 * 1000;

QString logFolder;
qint64 totalBytes = 0;

void writeMonthOfLogs(const QString& folder) {
    std::mt19937 random(20061206);
    const QDate first(2006, 11, 7);
    for (int d = 0; d < kDays; ++d) {
        const QDate day = first.addDays(d);
        const QByteArray text = sampleDayOfLog(day, kBytesPerFile, random);
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
    if (handleEvents) builder.setYield(platform::EventPump());
    for (auto _ : state) {
        const reports::ReportResult result = builder.build({kind, logFolder, QDate(2006, 11, 1), QDate(2006, 12, 31), QString()});
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
    benchmark::RegisterBenchmark("RoomActivity/WindowEvents", BuildReport,
                                 reports::ReportKind::RoomActivity, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
