// The reconciliation audit over a whole hotel: every room occupied by its
// guest, each guest with its lamp. Clean: nothing to report. Drifted: every
// guest's language differs from the PMS, so every room is a drift and its
// text is made.
//
//   build/bin/audit_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

#include "audit/ReconciliationAudit.h"
#include "bench/BenchHotel.h"
#include "platform/db/connection.h"

namespace {

void run(QSqlDatabase db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql)) qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

// Each guest gets its lamp "MWI-1" (off) and the PMS row's language (6 is 2057),
// unless `drifted`.
void completeGuests(const Hotel& hotel, bool drifted) {
    QSqlDatabase server = platform::db::database(hotel.state.voiceServerConnection);
    run(server, QStringLiteral("INSERT INTO NotificationMWI (NotificationMWIObjectID, ParentAlias, ParentObjectID, Alias, "
                               "MWIExtension, UID) SELECT 'L' || SubscriberObjectID, Alias, SubscriberObjectID, 'MWI-1', "
                               "'X', 'MWI-1' FROM Subscriber WHERE ConversationName='ConvHotel'"));
    run(server, drifted ? QStringLiteral("UPDATE Subscriber SET Language=1033")
                        : QStringLiteral("UPDATE Subscriber SET Language=2057"));
}

void Audit(benchmark::State& state, bool drifted) {
    const int rooms = int(state.range(0));
    Hotel hotel(rooms, rooms, rooms, false);
    completeGuests(hotel, drifted);
    size_t drifts = 0;
    for (auto _ : state) {
        const audit::AuditResult result =
            audit::findDrifts(hotel.state.pmsConnection, hotel.state.voiceServerConnection, 7);
        if (!result.ok()) qFatal("%s", qPrintable(result.failure));
        drifts = result.drifts.size();
    }
    state.counters["drifts"] = double(drifts);
    state.SetItemsProcessed(state.iterations() * rooms);
}

void CleanHotel(benchmark::State& state) { Audit(state, false); }
void EveryRoomDrifted(benchmark::State& state) { Audit(state, true); }

}  // namespace

BENCHMARK(CleanHotel)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(EveryRoomDrifted)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
