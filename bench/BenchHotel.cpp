#include "bench/BenchHotel.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/ServerDatabase.h"
#include "sim/voxaren/ServerIdentity.h"

using namespace platform::db;

namespace {

QString guid() { return QUuid::createUuid().toString(QUuid::WithBraces).toUpper(); }

void must(QSqlQuery& q, const QString& what) {
    if (!q.exec()) qFatal("%s: %s", qPrintable(what), qPrintable(q.lastError().text()));
}

}  // namespace

Hotel::Hotel(int rooms, int occupied, int guests, bool flagged) {
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
    env.setComponentFolder(dir.path());
    env.diagnosticLog = &state.log;
    state.voiceServerConnection = voxaren::kLocalConnection;
    state.pmsConnection = PMSConnectionString(dir.filePath(QStringLiteral("ptceDB.sqlite")));
    state.settings.SubscriberTemplateAlias = QStringLiteral("DefaultTemplate");
    state.settings.MailboxArchiveDays = 7;
    state.settings.StreamFilesPath = dir.filePath(QStringLiteral("stream files/"));

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

Hotel::~Hotel() {
    env.diagnosticLog = nullptr;
    dropThreadConnections();
}
