#include <gtest/gtest.h>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"
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

// A value in braces holds ";", "=" and "{" as text, and "}}" stands for "}":
// whatever a setting holds stays the one value it was put in as.
TEST(ConnectionStrings, BracedValuesStayOneValue) {
    ConnectionSpec injected = parseConnectionString(
        QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER={/a.db;SERVER=/b.db};DATABASE=ptceDB;UID=vms"));
    EXPECT_EQ(injected.backend, Backend::Sqlite);
    EXPECT_EQ(injected.path, QStringLiteral("/a.db;SERVER=/b.db"));

    ConnectionSpec account = parseConnectionString(
        QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER={db1;UID=root;PWD=x} ;DATABASE=ptceDB;UID=vms;PWD=kqt584"));
    EXPECT_EQ(account.host, QStringLiteral("db1;UID=root;PWD=x"));
    EXPECT_EQ(account.user, QStringLiteral("vms"));
    EXPECT_EQ(account.password, QStringLiteral("kqt584"));

    EXPECT_EQ(parseConnectionString(QStringLiteral("Driver={SQLite3};Database={/tmp/a}}b{c.db}")).path,
              QStringLiteral("/tmp/a}b{c.db"));
    EXPECT_THROW(parseConnectionString(QStringLiteral("Driver={SQLite3};Database={/tmp/open")), platform::Error);
    EXPECT_THROW(parseConnectionString(QStringLiteral("Driver={SQLite3};Database={/tmp/x}y")), platform::Error);

    // Plain values are written as they are; the others in braces.
    EXPECT_EQ(connectionStringValue(QStringLiteral("pms.hotel.lan:3307")), QStringLiteral("pms.hotel.lan:3307"));
    EXPECT_EQ(connectionStringValue(QStringLiteral("/var/lib/stavio/ptce db.sqlite")),
              QStringLiteral("/var/lib/stavio/ptce db.sqlite"));
    EXPECT_EQ(connectionStringValue(QString()), QString());
    EXPECT_EQ(connectionStringValue(QStringLiteral("a}b")), QStringLiteral("{a}}b}"));
    for (const char* value : {"/a.db;SERVER=/b.db", "h;UID=root", "x}", "{x", "}}{", "a=b", " lead", "trail ", "; "}) {
        const QString text = QString::fromUtf8(value);
        const QString cs = QStringLiteral("Driver={SQLite3};Database=") + connectionStringValue(text) +
                           QStringLiteral(";UID=vms");
        EXPECT_EQ(parseConnectionString(cs).path, text) << cs.toStdString();
        EXPECT_EQ(parseConnectionString(cs).attributes.value(QStringLiteral("UID")), QStringLiteral("vms"))
            << cs.toStdString();
    }
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

// A file replaced under a running program (deleted and created again) is
// opened anew: reads and writes reach the file the path names now.
TEST_F(ConnectionTest, ReplacedSqliteFileIsOpenedAnew) {
    const QString file = path(QStringLiteral("rooms.sqlite"));
    const QString cs = QStringLiteral("Driver={SQLite3};Database=") + file;
    // The gateway's own connection to the same file, under another string.
    const QString gateway = QStringLiteral("Driver={SQLite3}; Database=") + file;
    const auto makeFile = [&](const char* guest) {
        Recordset setup;
        setup.Open(QStringLiteral("CREATE TABLE rooms (roomno TEXT PRIMARY KEY, guest TEXT)"), gateway);
        setup.Open(QStringLiteral("INSERT INTO rooms VALUES ('101', ?)"), {QString::fromLatin1(guest)}, gateway);
        dropConnection(gateway);
    };
    const auto guestIn101 = [&](const QString& connection) {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT guest FROM rooms WHERE roomno = '101'"), connection);
        return rs.Text(QStringLiteral("guest"));
    };
    database(gateway, true);
    makeFile("Anna");
    ASSERT_EQ(guestIn101(cs), QStringLiteral("Anna"));

    ASSERT_TRUE(QFile::remove(file));
    database(gateway, true);
    makeFile("Carl");
    EXPECT_EQ(guestIn101(cs), QStringLiteral("Carl"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT roomno, guest FROM rooms"), cs, adOpenKeyset, adLockPessimistic);
    rs.SetValue(QStringLiteral("guest"), QStringLiteral("Dora"));
    rs.Update();
    EXPECT_EQ(guestIn101(gateway), QStringLiteral("Dora"));

    // Deleted and not replaced: an error, not writes into the deleted file.
    dropConnection(gateway);
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_THROW(guestIn101(cs), platform::Error);
    EXPECT_FALSE(QFile::exists(file));
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
