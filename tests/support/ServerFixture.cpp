#include "tests/support/ServerFixture.h"

#include <QDir>
#include <QSqlQuery>

#include "common/ServiceState.h"
#include "platform/db/connection.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/ServerDatabase.h"
#include "sim/voxaren/ServerIdentity.h"
#include "sim/voxaren/ServerObjects.h"
#include "tests/support/DbBackends.h"

using namespace platform::db;

void VoxarenTest::SetUp() {
    StavioTest::SetUp();
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("server"))));
    databasePath = path(QStringLiteral("server/VoxarenDb.sqlite"));
    {
        voxaren::ServerDatabase server(databasePath, true);
        voxaren::createSchema(server.db());
    }
    voxaren::writeServerIdentity(databasePath, path(QStringLiteral("server/")), {});
    voxaren::installServerAccess(environment());
    serviceState.voiceServerConnection = voxaren::kLocalConnection;
}

void VoxarenTest::TearDown() { StavioTest::TearDown(); }

void VoxarenTest::recordProcedures() {
    procedures = std::make_shared<RecordingProcedures>();
    environment().setVoiceServer(environment().voiceServerResolver(), procedures);
}

QSqlDatabase VoxarenTest::db() { return database(voxaren::kLocalConnection); }

Recordset VoxarenTest::open(const QString& sql, const QVariantList& values, LockTypeEnum lockType) {
    Recordset rs;
    rs.CursorLocation = adUseClient;
    rs.Open(sql, values, voxaren::kLocalConnection, adOpenKeyset, lockType);
    return rs;
}

Command VoxarenTest::command(const QString& procedure) { return Command(voxaren::kLocalConnection, procedure); }

QStringList VoxarenTest::rows(const QString& sql, const QVariantList& values) {
    Recordset rs = open(sql, values);
    QStringList lines;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        QStringList fields;
        for (int i = 0; i < rs.FieldCount(); ++i) {
            const QVariant v = rs.Value(rs.FieldName(i));
            fields << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        }
        lines << fields.join(QLatin1Char('|'));
    }
    return lines;
}

QVariant VoxarenTest::value(const QString& sql, const QVariantList& values) {
    Recordset rs = open(sql, values);
    return rs.IsEOF() ? QVariant() : rs.Value(rs.FieldName(0));
}

void VoxarenTest::serverExec(const QString& sql, const QVariantList& values) {
    execOrFail(db(), sql, values);
}

QString VoxarenTest::createGuest(const QString& room, const QString& alias, const QString& first,
                                 const QString& last) {
    Command create = command(QStringLiteral("sp_CreateSubscriber"));
    create.SetParameter(QStringLiteral("@Alias"), alias);
    create.SetParameter(QStringLiteral("@DtmfAccessId"), room);
    create.SetParameter(QStringLiteral("@templateAlias"), QStringLiteral("DefaultTemplate"));
    create.SetParameter(QStringLiteral("@DisplayName"), first + QLatin1Char(' ') + last + QStringLiteral(" - GUEST"));
    create.SetParameter(QStringLiteral("@FirstName"), first);
    create.SetParameter(QStringLiteral("@LastName"), last);
    create.SetParameter(QStringLiteral("@Uid"), alias);
    Recordset created = create.Execute(adLockOptimistic);
    const QString id = created.Text(QStringLiteral("SubscriberObjectID"));
    Command mark = command(QStringLiteral("sp_ModifySubscriber"));
    mark.SetParameter(QStringLiteral("@SubscriberObjectID"), id);
    mark.SetParameter(QStringLiteral("@ConversationName"), QStringLiteral("ConvHotel"));
    mark.SetParameter(QStringLiteral("@DirectorySync"), 0);
    mark.Execute();
    return id;
}
