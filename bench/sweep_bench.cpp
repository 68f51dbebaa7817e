// The synchronisation sweep's own cost.
//
// Idle: a hotel of N occupied rooms and as many guests, nothing changed, one
// sweep; beside it, what the sweep cannot avoid: a bare read of the PMS table
// plus three bare reads of the guest list.
//
// Wave: 1,000 rooms checked in at once and swept with a clock that does not
// really wait, so the time measured is what each check-in costs beyond its
// mandated waits (at least one 2-second look for its directory ticket).
//
//   build/bin/sweep_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <optional>

#include "common/PMSConnection.h"
#include "common/SystemEnv.h"
#include "platform/db/connection.h"
#include "service/Sweeps.h"
#include "sim/ptce/GatewayTable.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/ServerDatabase.h"
#include "sim/voxaren/ServerIdentity.h"
#include "tests/support/FakeClock.h"

using namespace platform::db;

namespace {

constexpr int kFirstRoom = 20001;

QString guid() { return QUuid::createUuid().toString(QUuid::WithBraces).toUpper(); }

void must(QSqlQuery& q, const QString& what) {
    if (!q.exec()) qFatal("%s: %s", qPrintable(what), qPrintable(q.lastError().text()));
}

// A hotel in its own folder: the server with `guests` hotel guests on rooms
// 20001.. (clear of the server's own numbers), the PMS table with `rooms` rooms, the first `occupied` of them
// occupied (and flagged when `flagged`), installed as the environment.
class Hotel {
public:
    Hotel(int rooms, int occupied, int guests, bool flagged) {
        env.setRegistryPath(dir.filePath(QStringLiteral("registry.db")));
        clock = std::make_shared<FakeClock>(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        env.setClock(clock);
        installed.emplace(env);
        const QString serverPath = dir.filePath(QStringLiteral("VoxarenDb.sqlite"));
        {
            voxaren::ServerDatabase server(serverPath, true);
            voxaren::createSchema(server.db());
        }
        voxaren::writeServerIdentity(serverPath, dir.path() + QLatin1Char('/'), {});
        voxaren::installServerAccess(env);
        ServiceState& state = env.service;
        state.voiceServerConnection = voxaren::kLocalConnection;
        state.pmsConnection = PMSConnectionString(dir.filePath(QStringLiteral("ptceDB.sqlite")));
        state.settings.SubscriberTemplateAlias = QStringLiteral("DefaultTemplate");
        state.settings.MailboxArchiveDays = 7;
        state.settings.StreamFilesPath = dir.filePath(QStringLiteral("stream files/"));
        state.setComponentFolder(dir.path());

        ptce::GatewayTable table(state.pmsConnection);
        table.init(kFirstRoom, kFirstRoom - 1 + rooms);
        QSqlDatabase pms = database(state.pmsConnection);
        QSqlQuery fill(pms);
        fill.prepare(QStringLiteral("UPDATE vmstable SET OccStatus='1', firstname='Guest', lastname=roomno, Language=6, "
                                    "upd_by_ptce=? WHERE CAST(roomno AS INTEGER) <= ?"));
        fill.addBindValue(flagged ? 1 : 0);
        fill.addBindValue(kFirstRoom - 1 + occupied);
        must(fill, QStringLiteral("occupying rooms"));

        QSqlDatabase server = database(voxaren::kLocalConnection);
        server.transaction();
        QSqlQuery subscriber(server), extension(server);
        subscriber.prepare(QStringLiteral("INSERT INTO Subscriber (SubscriberObjectID, Alias, UID, DisplayName, FirstName, "
                                          "LastName, ConversationName) VALUES (?, ?, ?, ?, 'Guest', ?, 'ConvHotel')"));
        extension.prepare(QStringLiteral("INSERT INTO DTMFAccessID (DTMFAccessObjectID, DTMFAccessID, ParentObjectID, "
                                         "ParentObjectType, IsPrimaryID) VALUES (?, ?, ?, 1, 1)"));
        for (int i = 1; i <= guests; ++i) {
            const QString id = guid(), room = QString::number(kFirstRoom - 1 + i), alias = QStringLiteral("ROOM1_") + room;
            const QVariantList guest{id, alias, alias, QStringLiteral("Guest ") + room, room};
            for (int v = 0; v < guest.size(); ++v) subscriber.bindValue(v, guest[v]);
            must(subscriber, QStringLiteral("adding guests"));
            const QVariantList primary{guid(), room, id};
            for (int v = 0; v < primary.size(); ++v) extension.bindValue(v, primary[v]);
            must(extension, QStringLiteral("adding extension ") + room);
        }
        server.commit();
    }
    ~Hotel() { dropThreadConnections(); }

    QTemporaryDir dir;
    SystemEnv env;
    std::shared_ptr<FakeClock> clock;
    std::optional<platform::ScopedEnv> installed;
};

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
    read(hotel.env.service.pmsConnection, QStringLiteral("SELECT * from vmstable"));
    for (int i = 0; i < 3; ++i)
        read(hotel.env.service.voiceServerConnection,
             QStringLiteral("Select * from vw_Subscriber WHERE ConversationName='ConvHotel'"));
    return cells;
}

void BareReads(benchmark::State& state) {
    Hotel hotel(int(state.range(0)), int(state.range(0)), int(state.range(0)), false);
    for (auto _ : state) benchmark::DoNotOptimize(bareReads(hotel));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void IdleSweep(benchmark::State& state) {
    Hotel hotel(int(state.range(0)), int(state.range(0)), int(state.range(0)), false);
    for (auto _ : state) modPMSFunctions::SweepForUpdates();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void CheckInWave(benchmark::State& state) {
    const int wave = int(state.range(0));
    double waitedMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            Hotel hotel(wave, wave, 0, true);
            const qint64 before = hotel.clock->sleptMs();
            state.ResumeTiming();
            modPMSFunctions::SweepForUpdates();
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
BENCHMARK(CheckInWave)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
