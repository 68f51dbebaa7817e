#include <gtest/gtest.h>

#include "platform/db/connection.h"
#include "tests/support/MariaDb.h"
#include "tests/support/TestEnvironment.h"

using namespace platform::db;

namespace {

TEST(ConnectionStrings, DocumentedFormsAreParsed) {
    ConnectionSpec pms = parseConnectionString(
        QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=pms.hotel.lan:3307;DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3"));
    EXPECT_EQ(pms.backend, Backend::MySql);
    EXPECT_EQ(pms.host, QStringLiteral("pms.hotel.lan"));
    EXPECT_EQ(pms.port, 3307);
    EXPECT_EQ(pms.database, QStringLiteral("ptceDB"));
    EXPECT_EQ(pms.user, QStringLiteral("vms"));
    EXPECT_EQ(pms.password, QStringLiteral("kqt584"));

    EXPECT_EQ(parseConnectionString(QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=10.0.0.5;PORT=3310;DATABASE=ptceDB"))
                  .port, 3310);

    ConnectionSpec embedded = parseConnectionString(
        QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=/var/lib/stavio/ptceDB.sqlite;DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3"));
    EXPECT_EQ(embedded.backend, Backend::Sqlite);
    EXPECT_EQ(embedded.path, QStringLiteral("/var/lib/stavio/ptceDB.sqlite"));

    EXPECT_EQ(parseConnectionString(QStringLiteral("Driver={SQLite3};Database=/tmp/x.db")).path, QStringLiteral("/tmp/x.db"));

    ConnectionSpec local = parseConnectionString(QStringLiteral("Driver={SQL Server};server=;database=VoxarenDb"));
    EXPECT_EQ(local.backend, Backend::VoiceServer);
    EXPECT_EQ(local.database, QStringLiteral("VoxarenDb"));
    ConnectionSpec remote = parseConnectionString(QStringLiteral(
        "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=VoxarenDb;Data Source=VMSRV2"));
    EXPECT_EQ(remote.backend, Backend::VoiceServer);
    EXPECT_EQ(remote.host, QStringLiteral("VMSRV2"));

    EXPECT_THROW(parseConnectionString(QStringLiteral("DSN=nothing")), platform::Error);
}

class ConnectionTest : public StavioTest {};

TEST_F(ConnectionTest, VoiceServerNeedsTheEnvironmentsResolver) {
    const QString local = QStringLiteral("Driver={SQL Server};server=;database=VoxarenDb");
    EXPECT_THROW(resolve(local), platform::Error);
    environment().setVoiceServer(
        [](const ConnectionSpec& spec) {
            ConnectionSpec s;
            s.backend = Backend::Sqlite;
            s.path = QStringLiteral("/srv/") + spec.database + QStringLiteral(".sqlite");
            return s;
        },
        nullptr);
    EXPECT_EQ(resolve(local).path, QStringLiteral("/srv/VoxarenDb.sqlite"));
}

TEST_F(ConnectionTest, MissingSqliteFileIsAnErrorNotANewDatabase) {
    const QString cs = QStringLiteral("Driver={SQLite3};Database=") + path(QStringLiteral("absent.sqlite"));
    EXPECT_THROW(database(cs), platform::Error);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("absent.sqlite"))));
    EXPECT_TRUE(database(cs, true).isOpen());
    dropConnection(cs);
}

TEST_F(ConnectionTest, UnreachableMariaDbGivesTheServersErrorNumberAndText) {
    const QString cs = QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1:1;DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3");
    try {
        database(cs);
        FAIL() << "connected to nothing";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 2002) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("127.0.0.1"))) << e.description().toStdString();
    }
}

TEST_F(ConnectionTest, WrongPasswordIsRefusedByTheServer) {
    REQUIRE_MARIADB();
    const QString cs = QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=") + testMariaDbServer() +
                       QStringLiteral(";DATABASE=ptceDB;UID=vms;PWD=wrong;OPTION=3");
    try {
        database(cs);
        FAIL() << "logged in with a wrong password";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 1045) << e.description().toStdString();
    }
}

}  // namespace
