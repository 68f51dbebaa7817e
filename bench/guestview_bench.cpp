// The guest view over a hotel of 10,000 guest mailboxes on the
// voice-messaging server stand-in (7,000 checked in, 3,000 archived):
// - ReadGuestList: the guest list's query and the decoding of every row.
// - LoadGridInfo: the shown window's whole load: the list read, the grid
//   filled, its columns sized to their contents, the grid painted.
// - SortBy/Extension, SortBy/DateCheckedIn: a click on that column's header
//   (ascending, then descending, by turns) and the grid painted: rooms as
//   numbers, dates read back from their text.
// The server's database is made once in a temporary folder, so its pages
// are in the page cache: the figures are those of a warm cache.
//
//   build/bin/guestview_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "admin/core/AdminEnv.h"
#include "admin/core/AdminState.h"
#include "admin/core/guests/GuestList.h"
#include "admin/windows/GuestGrid.h"
#include "admin/windows/frmGuestView.h"
#include "common/VoiceServerConnection.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/ServerDatabase.h"
#include "sim/voxaren/ServerIdentity.h"
#include "sim/voxaren/Subscribers.h"
#include "bench/AdminBench.h"

namespace {

constexpr int kGuests = 10000;
constexpr int kArchivedEvery = 10;  // rooms whose last digit is below 3 hold an archived guest
constexpr int kFirstRoom = 10000;

AdminBench* bench = nullptr;

// The hotel's guests, made as check-in and check-out leave them.
void makeGuests(const QString& databasePath) {
    voxaren::ServerDatabase server(databasePath, true);
    voxaren::createSchema(server.db());
    QSqlDatabase& db = server.db();
    if (!db.transaction()) qFatal("cannot start the transaction");
    for (int i = 0; i < kGuests; ++i) {
        const QString room = QString::number(kFirstRoom + i);
        const bool archived = i % kArchivedEvery < 3;
        const qint64 seconds = 825000000 + i;
        voxaren::NewSubscriber guest;
        guest.alias = (archived ? QStringLiteral("OUT_ROOM%1_%2") : QStringLiteral("ROOM%1_%2")).arg(seconds).arg(room);
        guest.extension = archived ? room + QStringLiteral("20260301110000") : room;
        guest.templateAlias = QStringLiteral("DefaultTemplate");
        guest.firstName = QStringLiteral("Guest");
        guest.lastName = QStringLiteral("Number %1").arg(i);
        guest.displayName = QStringLiteral("Guest Number %1 - GUEST%2").arg(i).arg(archived ? ": CHECKED OUT" : "");
        guest.uid = guest.alias;
        voxaren::createSubscriber(db, guest);
    }
    QSqlQuery hotel(db);
    if (!hotel.exec(QStringLiteral("UPDATE Subscriber SET ConversationName = 'ConvHotel' WHERE Alias LIKE '%ROOM%'")) ||
        !db.commit())
        qFatal("cannot make the guests");
}

void ReadGuests(benchmark::State& state) {
    for (auto _ : state) {
        const GuestList list = ReadGuestList(kLocalVoiceServerConnection);
        if (list.rows.size() != size_t(kGuests)) state.SkipWithError("the list does not hold every guest");
        benchmark::DoNotOptimize(list.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kGuests);
}

void LoadGrid(benchmark::State& state) {
    frmGuestView window(bench->admin, {QStringLiteral("VoxarenStavioAdmin")});
    window.show();
    QApplication::processEvents();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("gridGuests"));
    for (auto _ : state) {
        window.LoadGridInfo();
        grid->viewport()->repaint();
        QApplication::processEvents();
    }
    if (grid->model()->rowCount() != kGuests || !bench->prompts->shown.isEmpty())
        state.SkipWithError("the grid does not show every guest");
    state.SetItemsProcessed(state.iterations() * kGuests);
}

void SortBy(benchmark::State& state, const QString& key) {
    frmGuestView window(bench->admin, {QStringLiteral("VoxarenStavioAdmin")});
    window.show();
    window.LoadGridInfo();
    QApplication::processEvents();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("gridGuests"));
    const int column = GuestGridModel::columnOf(key);
    Qt::SortOrder order = Qt::AscendingOrder;
    for (auto _ : state) {
        grid->sortByColumn(column, order);
        grid->viewport()->repaint();
        QApplication::processEvents();
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    if (grid->model()->rowCount() != kGuests) state.SkipWithError("the grid does not show every guest");
    state.SetItemsProcessed(state.iterations() * kGuests);
}

}  // namespace

int main(int argc, char** argv) {
    AdminBench setup(argc, argv);
    bench = &setup;
    const QString databasePath = setup.path(QStringLiteral("VoxarenDb.sqlite"));
    makeGuests(databasePath);
    voxaren::writeServerIdentity(databasePath, setup.folder() + QLatin1Char('/'), {});
    voxaren::installServerAccess(setup.environment());
    setup.admin.voiceServerConnection = kLocalVoiceServerConnection;

    benchmark::RegisterBenchmark("ReadGuestList", ReadGuests)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("LoadGridInfo", LoadGrid)->Unit(benchmark::kMillisecond)->UseRealTime();
    for (const char* key : {"Extension", "DateCheckedIn"})
        benchmark::RegisterBenchmark((std::string("SortBy/") + key).c_str(),
                                     [key](benchmark::State& state) { SortBy(state, QLatin1String(key)); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
