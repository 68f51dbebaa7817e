// The server's identity in the registry store, how the system's connection
// strings reach it, its schema version and its database service.
#include <gtest/gtest.h>

#include <QFile>

#include "common/VoxarenVersion.h"
#include "platform/scm/servicestatus.h"
#include "platform/db/connection.h"
#include "platform/hostinfo.h"
#include "platform/registry.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/Seed.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/ServerDatabase.h"
#include "sim/voxaren/ServerIdentity.h"
#include "tests/support/ServerFixture.h"

using namespace platform::db;

namespace {

using IdentityTest = VoxarenTest;

TEST_F(IdentityTest, VersionIsWrittenAsTheSystemDecodesIt) {
    const auto v4_0_2_104 = voxaren::parseServerVersion(QStringLiteral("4.0.2.104"));
    ASSERT_TRUE(v4_0_2_104);
    EXPECT_EQ(voxaren::versionNumber(*v4_0_2_104), 0x00040000u);
    EXPECT_EQ(voxaren::buildNumber(*v4_0_2_104), 0x00020068u);

    voxaren::writeServerVersion(*voxaren::parseServerVersion(QStringLiteral("10.12.345.1000")));
    ReadVoxarenVersion();
    EXPECT_EQ(serverVersion().Text, QStringLiteral("10.12(345.1000)"));

    for (const char* bad : {"4.0.3", "4.0.3.89.1", "4.0.x.89", "10000.0.0.0", "4.0.3.40000", "4.-1.3.89", ""})
        EXPECT_FALSE(voxaren::parseServerVersion(QLatin1String(bad))) << bad;
}

TEST_F(IdentityTest, NewerSchemaIsRefusedAndLeftAsItIs) {
    voxaren::ServerDatabase server(databasePath);
    EXPECT_EQ(voxaren::createSchema(server.db()), voxaren::SchemaOutcome::AlreadyCurrent);
    EXPECT_EQ(voxaren::schemaVersion(server.db()), voxaren::kSchemaVersion);
    QSqlQuery(server.db()).exec(QStringLiteral("UPDATE SchemaVersion SET Version = Version + 1"));
    try {
        voxaren::createSchema(server.db());
        FAIL() << "accepted a newer schema";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("schema version %1").arg(voxaren::kSchemaVersion + 1)))
            << e.description().toStdString();
    }
    EXPECT_EQ(voxaren::schemaVersion(server.db()), voxaren::kSchemaVersion + 1);
    // Seeded once, not again by the second init.
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM COS")).toInt(), 1);
}

TEST_F(IdentityTest, AFirstSchemaServerIsUpgradedKeepingItsData) {
    const QString guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    voxaren::ServerDatabase server(databasePath);
    // The server as schema 1 left it: no replicated objects, the view over local
    // extensions only, and messages without recipient names or properties.
    QSqlQuery back(server.db());
    for (const char* statement :
         {"DROP VIEW vw_DTMFAccessID_DialingDomain", "DROP TABLE DialingDomainObject",
          "CREATE VIEW vw_DTMFAccessID_DialingDomain AS SELECT d.DTMFAccessID, d.ParentObjectID, "
          "d.ParentObjectType AS ObjectType, d.IsPrimaryID, NULL AS DisplayName FROM DTMFAccessID d",
          "DROP TABLE MessageProperty", "ALTER TABLE Message DROP COLUMN RecipientName",
          "UPDATE SchemaVersion SET Version = 1"})
        ASSERT_TRUE(back.exec(QLatin1String(statement))) << statement;

    EXPECT_EQ(voxaren::createSchema(server.db()), voxaren::SchemaOutcome::Upgraded);
    EXPECT_EQ(voxaren::schemaVersion(server.db()), voxaren::kSchemaVersion);
    EXPECT_EQ(voxaren::createSchema(server.db()), voxaren::SchemaOutcome::AlreadyCurrent);
    voxaren::addObject(server.db(), voxaren::ObjectKind::DialingDomainSubscriber, QStringLiteral("101"),
                       QStringLiteral("Bo Ek"));
    QStringList holders = rows(QStringLiteral("SELECT ObjectType, DisplayName FROM vw_DTMFAccessID_DialingDomain "
                                              "WHERE DTMFAccessID='101'"));
    holders.sort();
    EXPECT_EQ(holders, (QStringList{"1|Ann Lee - GUEST", "1|Bo Ek"}));
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM COS")).toInt(), 1);  // not seeded again
}

TEST_F(IdentityTest, ASecondSchemaServerKeepsItsMessagesAndLearnsRecipientNamesAndProperties) {
    const QString guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    voxaren::ServerDatabase server(databasePath);
    voxaren::NewMessage old;
    old.recipientObjectId = guest;
    old.subject = QStringLiteral("Before the upgrade");
    voxaren::deliverMessage(server.db(), old);
    QSqlQuery back(server.db());
    for (const char* statement : {"DROP TABLE MessageProperty", "ALTER TABLE Message DROP COLUMN RecipientName",
                                  "UPDATE SchemaVersion SET Version = 2"})
        ASSERT_TRUE(back.exec(QLatin1String(statement))) << statement;

    EXPECT_EQ(voxaren::createSchema(server.db()), voxaren::SchemaOutcome::Upgraded);
    EXPECT_EQ(voxaren::schemaVersion(server.db()), voxaren::kSchemaVersion);
    voxaren::NewMessage later;
    later.recipientObjectId = guest;
    later.recipientName = QStringLiteral("ROOM1_101");
    later.subject = QStringLiteral("After the upgrade");
    later.properties.push_back({false, 0x72020003, 1});
    voxaren::deliverMessage(server.db(), later);
    const std::vector<voxaren::StoredMessage> messages = voxaren::messagesFor(server.db(), guest);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].subject, QStringLiteral("Before the upgrade"));
    EXPECT_TRUE(messages[0].recipientName.isEmpty());
    EXPECT_EQ(messages[1].recipientName, QStringLiteral("ROOM1_101"));
    ASSERT_EQ(messages[1].properties.size(), 1u);
    EXPECT_EQ(messages[1].properties[0].tag, 0x72020003u);
}

TEST_F(IdentityTest, LocalServerAnswersToItsNamesAndOthersOnlyWhenListed) {
    const QString computer = platform::readHostInfo().computerName;
    QStringList reached;
    for (const QString& host : {QString(), QStringLiteral("."), QStringLiteral("(local)"), QStringLiteral("LOCALHOST"),
                                computer}) {
        const QString cs = QStringLiteral("Driver={SQL Server};server=%1;database=VoxarenDb").arg(host);
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM vw_Location"), cs, adOpenKeyset);
        reached << QStringLiteral("%1:%2").arg(host).arg(rs.RecordCount());
        dropConnection(cs);
    }
    EXPECT_EQ(reached, (QStringList{":2", ".:2", "(local):2", "LOCALHOST:2", computer + QStringLiteral(":2")}));

    const QString remote = QStringLiteral(
        "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=VoxarenDb;"
        "Data Source=frontoffice");
    const auto failure = [&](const QString& cs) {
        try {
            Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM vw_Location"), cs);
        } catch (const platform::Error& e) {
            dropConnection(cs);
            EXPECT_EQ(e.number(), errors::ConnectionFailed);
            return e.description();
        }
        dropConnection(cs);
        return QString();
    };
    EXPECT_TRUE(failure(remote).contains(QLatin1String("frontoffice is not reachable")));
    platform::RegistryStore& registry = platform::machineRegistry();
    registry.createKey(voxaren::kServersKey + QStringLiteral("\\FrontOffice"));
    registry.setValue(voxaren::kServersKey + QStringLiteral("\\FrontOffice"), voxaren::kDatabasePathValue,
                      platform::RegValue::sz(databasePath));
    EXPECT_EQ(failure(remote), QString());
    EXPECT_TRUE(failure(QString(remote).replace(QStringLiteral("VoxarenDb"), QStringLiteral("master")))
                    .contains(QLatin1String("\"master\"")));
}

TEST_F(IdentityTest, DatabaseServiceRunsWhileTheDatabaseOpens) {
    EXPECT_EQ(voxaren::databaseServiceState(), platform::scm::SERVICE_RUNNING);
    ASSERT_TRUE(QFile::rename(databasePath, databasePath + QStringLiteral(".away")));
    EXPECT_EQ(voxaren::databaseServiceState(), platform::scm::SERVICE_STOPPED);
    QString why;
    try {
        db();
    } catch (const platform::Error& e) {
        why = e.description();
    }
    EXPECT_TRUE(why.contains(QLatin1String("does not exist"))) << why.toStdString();
    ASSERT_TRUE(QFile::rename(databasePath + QStringLiteral(".away"), databasePath));
    EXPECT_EQ(voxaren::databaseServiceState(), platform::scm::SERVICE_RUNNING);
    platform::machineRegistry().deleteValue(voxaren::kCorevaneKey, voxaren::kDatabasePathValue);
    EXPECT_EQ(voxaren::databaseServiceState(), platform::scm::SERVICE_STOPPED);
}

}  // namespace
