// The synchronisation sweep's own cost.
//
// Idle: a hotel of N occupied rooms and as many guests, nothing changed, one
// sweep; beside it, what the sweep cannot avoid: a bare read of the PMS table
// plus three bare reads of the guest list. IdleSweepOverReads times the two
// in turns over one hotel and reports the median of the pairs' ratios: a
// slow spell of the machine falls on both of a pair alike, which two
// separate benchmarks cannot promise.
//
// Wave: 1,000 rooms checked in at once and swept with a clock that does not
// really wait, so the time measured is what each check-in costs beyond its
// mandated waits (at least one 2-second look for its directory ticket).
//
//   build/bin/sweep_bench --benchmark_filter=IdleSweepOverReads
//   build/bin/sweep_bench --benchmark_filter='BareReads|IdleSweep/'
//       --benchmark_repetitions=8 --benchmark_enable_random_interleaving=true
// Apart, the machine's noise shows in the spread: compare the fastest runs.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <vector>

#include "bench/BenchHotel.h"
#include "platform/db/connection.h"
#include "platform/heap.h"
#include "service/ServiceMemory.h"
#include "service/Sweeps.h"

using namespace platform::db;

namespace {

// What the sweep cannot do without: every row of the PMS table and, three
// times, every hotel guest, read bare.
long bareReads(const Hotel& hotel) {
    long cells = 0;
    const auto read = [&](const QString& cs, const QString& sql) {
        QSqlQuery q(database(cs));
        q.setForwardOnly(true);
        q.exec(platform::db::translateSql(cs, sql));
        const int n = q.record().count();
        while (q.next())
            for (int i = 0; i < n; ++i) cells += q.value(i).isNull() ? 0 : 1;
    };
    read(hotel.state.pmsConnection, QStringLiteral("SELECT * from vmstable"));
    for (int i = 0; i < 3; ++i)
        read(hotel.state.voiceServerConnection,
             QStringLiteral("Select * from vw_Subscriber WHERE ConversationName='ConvHotel'"));
    return cells;
}

void BareReads(benchmark::State& state) {
    platform::keepFreedMemory(modPMSFunctions::kSweepMemoryBytes);  // as the service keeps it
    Hotel hotel(int(state.range(0)), int(state.range(0)), int(state.range(0)), false);
    for (auto _ : state) benchmark::DoNotOptimize(bareReads(hotel));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void IdleSweep(benchmark::State& state) {
    platform::keepFreedMemory(modPMSFunctions::kSweepMemoryBytes);  // as the service keeps it
    Hotel hotel(int(state.range(0)), int(state.range(0)), int(state.range(0)), false);
    ServiceMemory memory;
    for (auto _ : state) modPMSFunctions::SweepForUpdates(hotel.state, memory);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void IdleSweepOverReads(benchmark::State& state) {
    platform::keepFreedMemory(modPMSFunctions::kSweepMemoryBytes);  // as the service keeps it
    Hotel hotel(int(state.range(0)), int(state.range(0)), int(state.range(0)), false);
    ServiceMemory memory;
    std::vector<double> readsMs, sweepMs, ratios;
    const auto timed = [](const auto& work) {
        QElapsedTimer timer;
        timer.start();
        work();
        return double(timer.nsecsElapsed()) / 1e6;
    };
    for (auto _ : state) {
        // In turns, each first every other time: neither always finds the
        // other's memory at hand.
        const auto reads = [&] { benchmark::DoNotOptimize(bareReads(hotel)); };
        const auto sweep = [&] { modPMSFunctions::SweepForUpdates(hotel.state, memory); };
        const bool readsFirst = readsMs.size() % 2 == 0;
        if (readsFirst) readsMs.push_back(timed(reads));
        sweepMs.push_back(timed(sweep));
        if (!readsFirst) readsMs.push_back(timed(reads));
        ratios.push_back(sweepMs.back() / readsMs.back());
    }
    state.counters["reads ms"] = median(readsMs);
    state.counters["sweep ms"] = median(sweepMs);
    state.counters["sweep/reads"] = median(ratios);
}

void CheckInWave(benchmark::State& state) {
    const int wave = int(state.range(0));
    double waitedMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            Hotel hotel(wave, wave, 0, true);
            const qint64 before = hotel.clock->sleptMs();
            ServiceMemory memory;
            state.ResumeTiming();
            modPMSFunctions::SweepForUpdates(hotel.state, memory);
            state.PauseTiming();
            waitedMs += double(hotel.clock->sleptMs() - before);
        }
        state.ResumeTiming();
    }
    // Per check-in: the wall time (the benchmark's own figure divided by the
    // wave) beside the waits the check-in had to make on the fake clock.
    state.counters["check-ins"] = wave;
    state.counters["mandated wait per check-in (ms)"] = waitedMs / double(state.iterations()) / wave;
    state.SetItemsProcessed(state.iterations() * wave);
}

}  // namespace

BENCHMARK(BareReads)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(IdleSweep)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(IdleSweepOverReads)
    ->Arg(10000)
    ->Arg(20000)
    ->Iterations(16)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(CheckInWave)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
