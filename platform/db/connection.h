#pragma once
// Connection strings in their documented forms, and the database connection
// each names, opened once per thread and reused.
//
// A value may be written in braces, "{...}", to hold ";", "=" or "{"; a "}"
// inside is written "}}" (connectionStringValue writes values so).
//
//   DRIVER={MySQL ODBC 3.51 Driver};SERVER=host[:port];DATABASE=d;UID=u;PWD=p;OPTION=3
//       MariaDB/MySQL through QMYSQL (PORT= also accepted). A SERVER that is an
//       absolute file path opens the SQLite database at that path instead.
//   Driver={SQLite3};Database=path
//       an SQLite file.
//   Driver={SQL Server};server=;database=VoxarenDb
//   Provider=SQLOLEDB.1;...;Initial Catalog=VoxarenDb;Data Source=host
//       the voice-messaging server; resolved by the environment's resolver
//       (platform::Env::setVoiceServer).
#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <functional>

#include "platform/error.h"

namespace platform::db {

enum class Backend { MySql, Sqlite, VoiceServer };

struct ConnectionSpec {
    Backend backend = Backend::Sqlite;
    QString host;
    int port = 0;
    QString database;
    QString user;
    QString password;
    QString path;                    // SQLite file
    QMap<QString, QString> attributes;  // every KEY=value pair, keys upper-case
    // Run on every new connection (a resolver may register SQL functions).
    std::function<void(QSqlDatabase&)> onOpen;
    // Turns a statement written for the server into one this database runs.
    std::function<QString(const QString&)> translateSql;
    // The table that holds the rows a view shows, for writing them back ("" = none).
    std::function<QString(const QString&)> baseTableOf;
};

// Parses a connection string; raises platform::Error for an unknown form.
ConnectionSpec parseConnectionString(const QString& text);

// `value` as a connection string must hold it so that it stays one value:
// unchanged when it is plain, else in braces with each "}" doubled (when it
// holds ";", "{", "}" or "=", or blanks at an end).
QString connectionStringValue(const QString& value);

// The connection details after resolution: what is actually opened.
ConnectionSpec resolve(const QString& connectionString);

// The open database for this thread and connection string (connections are
// kept per thread and per environment: installing another environment closes
// the thread's old ones at their next use). Raises
// platform::Error with the database's own number and text when it cannot open.
// An SQLite file that does not exist is an error unless `create` is set. An
// SQLite connection whose path no longer names the file it opened (the file
// was deleted or replaced) is closed and the path opened anew.
QSqlDatabase database(const QString& connectionString, bool create = false);

// The resolved spec of an open (or openable) connection string, cached per thread.
const ConnectionSpec& connectionSpec(const QString& connectionString);
// `sql` as the database of that connection runs it.
QString translateSql(const QString& connectionString, const QString& sql);

// Forgets this thread's connection for the string (after a failure, so the
// next use reconnects).
void dropConnection(const QString& connectionString);

// Forgets all of this thread's connections.
void dropThreadConnections();
// Forgets this thread's connections when they belong to the environment of
// that serial (an environment going away takes its connections with it).
void releaseConnectionsOf(quint64 envSerial);

// Whether an error number says the link to the database server is gone.
bool isLinkLost(int errorNumber);

// After a statement on this thread's connection for the string failed with
// `error`: forgets the connection when its link is gone (the error says so, or
// the connection no longer answers), so that the next use connects anew.
// Returns whether it did. Every copy of the connection and of its queries
// must be released before.
bool forgetIfLinkLost(const QString& connectionString, const Error& error);

// One try of a piece of database work: whether it has sent a statement that
// may have changed data, and so must not be sent a second time.
class Attempt {
public:
    void changing() { m_changing = true; }
    bool mayHaveChanged() const { return m_changing; }

private:
    bool m_changing = false;
};

// Runs `work(Attempt&)`, which reaches this thread's connection for the string
// through database() and holds no copy of it beyond its own return. When the
// link to the server turns out to be gone (a server restart cuts every
// connection), the connection is forgotten; and when the work had not yet
// sent anything that may have changed data, it runs once more on a new
// connection, so the first call after a restart succeeds.
template <class Work>
decltype(auto) withReconnect(const QString& connectionString, Work&& work) {
    {
        Attempt first;
        try {
            return work(first);
        } catch (const Error& e) {
            if (!forgetIfLinkLost(connectionString, e) || first.mayHaveChanged()) throw;
        }
    }
    Attempt second;
    try {
        return work(second);
    } catch (const Error& e) {
        forgetIfLinkLost(connectionString, e);
        throw;
    }
}

// Error of a failed statement or open, carrying the database's number and text.
platform::Error databaseError(const QSqlError& error, const QString& context = QString());

bool isMySql(const QSqlDatabase& db);

// Errors raised by the data layer itself, with the numbers its callers know.
namespace errors {
constexpr int ConnectionFailed = -2147467259;     // 0x80004005
constexpr int RowNotFound = -2147217864;          // 0x80040E38
constexpr int NotUpdatable = 3251;
constexpr int NoCurrentRecord = 3021;
constexpr int ItemNotFound = 3265;
constexpr int BadArguments = 3001;
constexpr int ObjectClosed = 3704;
constexpr int WriteRefused = 3709;  // the environment allows no write (Env::writeAllowed)
// The database server's own numbers for a link that is gone.
constexpr int CannotConnectLocal = 2002;
constexpr int CannotConnect = 2003;
constexpr int ServerGone = 2006;
constexpr int LostDuringQuery = 2013;
constexpr int LostWithSystemError = 2055;
}  // namespace errors

}  // namespace platform::db
