// The synchronisation sweep's reading of the PMS table: a bare QSqlQuery read
// of every row beside a client-side recordset read, the four sweep filters,
// and a look-up of every room by extension (which must grow linearly).
//
//   build/bin/pms_bench                     SQLite file in /tmp
//   STAVIO_TEST_MYSQL=127.0.0.1:PORT build/bin/pms_bench   also MariaDB
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "sim/ptce/GatewayTable.h"
#include "sim/ptce/HotelTraffic.h"

using namespace platform::db;

namespace {

QTemporaryDir* scratch = nullptr;

// A hotel of `rooms` rooms after a day of traffic. Each SQLite size has its own
// file; the one MariaDB table is rebuilt whenever another size is asked for.
QString hotel(int rooms, bool mariadb) {
    static QHash<QString, int> builtSize;
    const QString server = mariadb ? qEnvironmentVariable("STAVIO_TEST_MYSQL")
                                   : scratch->filePath(QStringLiteral("ptce_%1.sqlite").arg(rooms));
    const QString cs = PMSConnectionString(server);
    if (builtSize.value(cs) != rooms) {
        QSqlQuery drop(database(cs, true));
        drop.exec(QStringLiteral("DROP TABLE IF EXISTS vmstable"));
        ptce::GatewayTable table(cs);
        ptce::runHotelTraffic(table, rooms, rooms, 7);
        builtSize.insert(cs, rooms);
    }
    return cs;
}

void BareRead(benchmark::State& state, bool mariadb) {
    const QString cs = hotel(int(state.range(0)), mariadb);
    for (auto _ : state) {
        QSqlQuery q(database(cs));
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * from vmstable"));
        const int n = q.record().count();
        long cells = 0;
        while (q.next())
            for (int i = 0; i < n; ++i) cells += q.value(i).isNull() ? 0 : 1;
        benchmark::DoNotOptimize(cells);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void RecordsetRead(benchmark::State& state, bool mariadb) {
    const QString cs = hotel(int(state.range(0)), mariadb);
    for (auto _ : state) {
        Recordset rs;
        rs.CursorLocation = adUseClient;
        rs.Open(QStringLiteral("SELECT * from vmstable"), cs, adOpenStatic, adLockReadOnly);
        benchmark::DoNotOptimize(rs.RecordCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void SweepFilters(benchmark::State& state, bool mariadb) {
    const QString cs = hotel(int(state.range(0)), mariadb);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * from vmstable"), cs, adOpenStatic, adLockReadOnly);
    for (auto _ : state) {
        for (const char* filter : {"otherroomno>'0' and upd_by_ptce>0", "OccStatus='1'", "OccStatus<>'1'",
                                   "upd_by_ptce<>0 and OccStatus='1'"}) {
            rs.SetFilter(QString::fromLatin1(filter));
            benchmark::DoNotOptimize(rs.RecordCount());
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every room looked up by its extension, as the sweep looks up each room's guest.
void LookupEveryRoom(benchmark::State& state, bool mariadb) {
    const QString cs = hotel(int(state.range(0)), mariadb);
    Recordset rooms;
    rooms.Open(QStringLiteral("SELECT * from vmstable"), cs, adOpenStatic, adLockReadOnly);
    QStringList extensions;
    for (rooms.MoveFirst(); !rooms.IsEOF(); rooms.MoveNext()) extensions << rooms.Text(QStringLiteral("Extension1"));
    Recordset guests;
    guests.Open(QStringLiteral("SELECT * from vmstable"), cs, adOpenStatic, adLockReadOnly);
    for (auto _ : state) {
        long found = 0;
        for (const QString& ext : extensions) {
            guests.MoveFirst();
            found += guests.FindEqual(QStringLiteral("Extension1"), ext) ? 1 : 0;
        }
        if (found != extensions.size()) state.SkipWithError("a room was not found");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}

void registerAll(const char* server, bool mariadb) {
    const auto name = [&](const char* what) { return std::string(what) + "/" + server; };
    benchmark::RegisterBenchmark(name("BareQSqlQueryRead").c_str(), BareRead, mariadb)
        ->Arg(10000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("RecordsetRead").c_str(), RecordsetRead, mariadb)
        ->Arg(10000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("FourSweepFilters").c_str(), SweepFilters, mariadb)
        ->Arg(10000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("LookupEveryRoom").c_str(), LookupEveryRoom, mariadb)
        ->RangeMultiplier(4)->Range(625, 10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    scratch = &dir;
    registerAll("SQLite", false);
    if (!qEnvironmentVariable("STAVIO_TEST_MYSQL").isEmpty()) registerAll("MariaDB", true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
