// The activity viewer over the service's current log of 50 and 100 MB:
// - Open: the window built, its log read and its first page shown (laid out
//   and painted), with the growth of the resident memory while it opens: the
//   peak (VmHWM, reset through /proc/self/clear_refs before each opening) and
//   what stays (VmRSS), both from /proc/self/status, in MB and as a share of
//   the file's size.
// - Refresh: the service writes five more lines, then one refresh of the open
//   window and the events it posts (layout, paint); ReadOnly times the
//   refresh alone, its events handled outside the timing.
// The logs are written once into a temporary folder, so the file's pages are
// in the page cache: the figures are those of a warm cache.
//
//   build/bin/activityviewer_bench
#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <memory>
#include <random>

#include "admin/core/AdminEnv.h"
#include "admin/core/Prompt.h"
#include "admin/windows/frmActivityViewer.h"
#include "bench/SampleLog.h"
#include "common/DiagnosticLogFile.h"
#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "bench/AdminBench.h"

namespace {

constexpr qint64 kMB = 1000 * 1000;
constexpr int kLinesPerRefresh = 5;

AdminBench* bench = nullptr;

QString logOf(qint64 megabytes) {
    return bench->path(QStringLiteral("VoxarenStavio_Log_%1MB.TXT").arg(megabytes));
}

void writeLog(qint64 megabytes) {
    std::mt19937 random(20261206);
    const QByteArray text = sampleDayOfLog(QDate(2026, 12, 6), megabytes * kMB, random);
    QFile file(logOf(megabytes));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) qFatal("cannot write the log");
}

// A "VmRSS:" or "VmHWM:" figure of /proc/self/status, in bytes.
qint64 statusBytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// Starts the peak resident size anew at the current one.
bool resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

void settle() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// The window as the administrator opens it: built, shown, its events handled.
std::unique_ptr<frmActivityViewer> openWindow(qint64 megabytes, benchmark::State& state) {
    writeSetting(Setting::CurrentLogFile, logOf(megabytes));
    auto window = std::make_unique<frmActivityViewer>();
    window->show();
    QApplication::processEvents();
    if (window->logFile() != logOf(megabytes) || !bench->prompts->shown.isEmpty())
        state.SkipWithError(qPrintable(QStringLiteral("the log did not open: ") + bench->prompts->shown.join(QLatin1Char('|'))));
    return window;
}

bool scrolledToEnd(const frmActivityViewer& window) {
    const auto* view = window.findChild<QAbstractScrollArea*>(QStringLiteral("myRTF"));
    return view && view->verticalScrollBar()->value() == view->verticalScrollBar()->maximum();
}

void Open(benchmark::State& state) {
    const qint64 megabytes = state.range(0);
    double peak = 0, kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        settle();
        if (!resetPeak()) state.SkipWithError("cannot reset the peak resident size");
        const qint64 before = statusBytes("VmRSS:");
        state.ResumeTiming();

        std::unique_ptr<frmActivityViewer> window = openWindow(megabytes, state);

        state.PauseTiming();
        peak += double(statusBytes("VmHWM:") - before);
        kept += double(statusBytes("VmRSS:") - before);
        if (!scrolledToEnd(*window)) state.SkipWithError("the window does not show the end of the log");
        window.reset();
        state.ResumeTiming();
    }
    const double n = double(state.iterations()), size = double(QFile(logOf(megabytes)).size());
    state.counters["peak_MB"] = peak / n / double(kMB);
    state.counters["kept_MB"] = kept / n / double(kMB);
    state.counters["peak/file"] = peak / n / size;
    state.SetBytesProcessed(state.iterations() * qint64(size));
}

void Refresh(benchmark::State& state, bool timeEvents) {
    const qint64 megabytes = state.range(0);
    std::unique_ptr<frmActivityViewer> window = openWindow(megabytes, state);
    QFile log(logOf(megabytes));
    if (!log.open(QIODevice::Append)) state.SkipWithError("cannot append to the log");
    int entry = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kLinesPerRefresh; ++i, ++entry)
            log.write(QByteArrayLiteral("12/6/2026 11:59:59 PM,1019,SYNC_DEBUG,,,Checking room=") +
                      QByteArray::number(entry) + " OccStatus=1 upd_by_ptce=0 otherroomno=0\r\n");
        log.flush();
        state.ResumeTiming();

        window->RefreshText();
        if (!timeEvents) state.PauseTiming();
        QApplication::processEvents();
        if (!timeEvents) state.ResumeTiming();
    }
    if (!scrolledToEnd(*window) || !bench->prompts->shown.isEmpty())
        state.SkipWithError("the refresh did not show the end of the log");
    window.reset();
    // The next benchmark opens the log as it was written.
    log.close();
    writeLog(megabytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    AdminBench setup(argc, argv);
    bench = &setup;
    RegistryAPI::CreateKey(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey));
    for (const qint64 megabytes : {50, 100}) writeLog(megabytes);

    benchmark::RegisterBenchmark("Open", Open)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("Refresh", Refresh, true)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("Refresh/ReadOnly", Refresh, false)
        ->Arg(50)
        ->Arg(100)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
