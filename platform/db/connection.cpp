#include "platform/db/connection.h"

#include <mysql.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QThreadStorage>
#include <algorithm>
#include <atomic>

#include "platform/com/stalledlinks.h"
#include "platform/env.h"
#include "platform/filemode.h"

namespace platform::db {

namespace {

Error malformed(const QString& text, const char* why) {
    return Error(errors::ConnectionFailed,
                 QStringLiteral("[Data access] Malformed connection string (%1): %2").arg(QLatin1String(why), text));
}

// KEY=value pairs separated by ";". A value that starts with "{" runs to the
// "}" that closes it and may hold ";", "=" and "{"; "}}" inside stands for "}".
QMap<QString, QString> splitAttributes(const QString& text) {
    QMap<QString, QString> result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {  // a part without "=" says nothing
            if (semi < 0) break;
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toUpper();
        i = eq + 1;
        while (i < n && text[i].isSpace()) ++i;
        QString value;
        if (i < n && text[i] == QLatin1Char('{')) {
            bool closed = false;
            for (++i; i < n; ++i) {
                if (text[i] == QLatin1Char('}')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        ++i;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text[i];
            }
            if (!closed) throw malformed(text, "unclosed {");
            while (i < n && text[i].isSpace()) ++i;
            if (i < n && text[i] != QLatin1Char(';')) throw malformed(text, "; expected after }");
        } else {
            const qsizetype end = semi < 0 ? n : semi;
            value = text.mid(i, end - i).trimmed();
            i = end;
        }
        if (!key.isEmpty()) result.insert(key, value);
        ++i;  // past the ";"
    }
    return result;
}

// The file an SQLite connection opened, told apart from any file that later
// takes its path.
struct FileIdentity {
    bool known = false;
    dev_t device = 0;
    ino_t inode = 0;
};

FileIdentity identityOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return {true, info.st_dev, info.st_ino};
}

// The socket of a MariaDB link, or -1.
int mySqlSocket(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "st_mysql*") != 0 && qstrcmp(handle.typeName(), "MYSQL*") != 0) return -1;
    MYSQL* link = *static_cast<MYSQL* const*>(handle.constData());
    return link ? int(mysql_get_socket(link)) : -1;
}

// This thread's open connections by connection string; closed when the thread ends.
class ThreadConnections {
public:
    ~ThreadConnections() {
        // Off the list before they close: a socket number may be used again at once.
        for (const int socket : std::as_const(m_sockets)) com::removeDatabaseLink(socket);
        for (const QString& name : std::as_const(m_names)) {
            { QSqlDatabase::database(name, false).close(); }
            QSqlDatabase::removeDatabase(name);
        }
    }
    QString name(const QString& connectionString) const { return m_names.value(connectionString); }
    // Whether the path of an SQLite connection still names the file it opened
    // (a stat per use: cheap next to any statement).
    bool holdsItsFile(const QString& connectionString) {
        const ConnectionSpec& s = spec(connectionString);
        if (s.backend != Backend::Sqlite) return true;
        const FileIdentity now = identityOf(s.path);
        if (!now.known) return false;
        FileIdentity& opened = m_files[connectionString];
        if (!opened.known) opened = now;  // the file came into being after the open
        return opened.device == now.device && opened.inode == now.inode;
    }
    void opened(const QString& connectionString, const QSqlDatabase& db) {
        const ConnectionSpec& s = spec(connectionString);
        if (s.backend == Backend::Sqlite) m_files.insert(connectionString, identityOf(s.path));
        const int socket = mySqlSocket(db);
        if (socket >= 0) {
            m_sockets.insert(connectionString, socket);
            com::addDatabaseLink(socket);
        }
    }
    const ConnectionSpec& spec(const QString& connectionString) {
        auto it = m_specs.find(connectionString);
        if (it == m_specs.end()) it = m_specs.insert(connectionString, resolve(connectionString));
        return *it;
    }
    QString add(const QString& connectionString) {
        static std::atomic<int> counter{0};
        // The address tells apart copies of this code in one process (a
        // plug-in linked with its own copy), whose names would otherwise clash.
        const QString name =
            QStringLiteral("stavio-db-%1-%2").arg(quintptr(&counter), 0, 16).arg(++counter);
        m_names.insert(connectionString, name);
        return name;
    }
    void drop(const QString& connectionString) {
        m_specs.remove(connectionString);
        m_files.remove(connectionString);
        if (const auto socket = m_sockets.constFind(connectionString); socket != m_sockets.constEnd()) {
            com::removeDatabaseLink(*socket);
            m_sockets.erase(socket);
        }
        const QString name = m_names.take(connectionString);
        if (name.isEmpty()) return;
        { QSqlDatabase::database(name, false).close(); }
        QSqlDatabase::removeDatabase(name);
    }

    void dropAll() {
        for (const QString& cs : m_names.keys()) drop(cs);
        m_specs.clear();
    }

    bool belongsTo(quint64 envSerial) const { return envSerial == m_envSerial; }
    // Connections belong to the environment they were opened in.
    void follow(quint64 envSerial) {
        if (envSerial == m_envSerial) return;
        dropAll();
        m_envSerial = envSerial;
    }

private:
    quint64 m_envSerial = 0;
    QHash<QString, QString> m_names;
    QHash<QString, ConnectionSpec> m_specs;
    QHash<QString, FileIdentity> m_files;
    QHash<QString, int> m_sockets;  // of MariaDB links
};

QThreadStorage<ThreadConnections*> threadConnections;

ThreadConnections& connections() {
    if (!threadConnections.hasLocalData()) threadConnections.setLocalData(new ThreadConnections);
    ThreadConnections& open = *threadConnections.localData();
    open.follow(platform::env().serial());
    return open;
}

}  // namespace

ConnectionSpec parseConnectionString(const QString& text) {
    ConnectionSpec spec;
    spec.attributes = splitAttributes(text);
    const auto& a = spec.attributes;
    const QString driver = a.value(QStringLiteral("DRIVER"));
    const QString provider = a.value(QStringLiteral("PROVIDER"));

    if (driver.contains(QLatin1String("MySQL"), Qt::CaseInsensitive)) {
        const QString server = a.value(QStringLiteral("SERVER"));
        if (server.startsWith(QLatin1Char('/'))) {
            spec.backend = Backend::Sqlite;
            spec.path = server;
            return spec;
        }
        spec.backend = Backend::MySql;
        spec.host = server.section(QLatin1Char(':'), 0, 0);
        spec.port = server.contains(QLatin1Char(':')) ? server.section(QLatin1Char(':'), 1).toInt()
                                                      : a.value(QStringLiteral("PORT")).toInt();
        spec.database = a.value(QStringLiteral("DATABASE"));
        spec.user = a.value(QStringLiteral("UID"));
        spec.password = a.value(QStringLiteral("PWD"));
        return spec;
    }
    if (driver.compare(QLatin1String("SQLite3"), Qt::CaseInsensitive) == 0) {
        spec.backend = Backend::Sqlite;
        spec.path = a.value(QStringLiteral("DATABASE"));
        return spec;
    }
    if (driver.compare(QLatin1String("SQL Server"), Qt::CaseInsensitive) == 0) {
        spec.backend = Backend::VoiceServer;
        spec.host = a.value(QStringLiteral("SERVER"));
        spec.database = a.value(QStringLiteral("DATABASE"));
        return spec;
    }
    if (provider.startsWith(QLatin1String("SQLOLEDB"), Qt::CaseInsensitive)) {
        spec.backend = Backend::VoiceServer;
        spec.host = a.value(QStringLiteral("DATA SOURCE"));
        spec.database = a.value(QStringLiteral("INITIAL CATALOG"));
        return spec;
    }
    throw Error(errors::ConnectionFailed,
                QStringLiteral("[Data access] Data source name not found and no default driver specified"));
}

QString connectionStringValue(const QString& value) {
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
                       !value.contains(QLatin1Char('}')) && !value.contains(QLatin1Char('=')) &&
                       (value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace()));
    if (plain) return value;
    QString braced = value;
    braced.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

ConnectionSpec resolve(const QString& connectionString) {
    ConnectionSpec spec = parseConnectionString(connectionString);
    if (spec.backend != Backend::VoiceServer) return spec;
    const platform::Env::VoiceServerResolver& resolver = platform::env().voiceServerResolver();
    if (!resolver)
        throw Error(errors::ConnectionFailed,
                    QStringLiteral("[Data access] No voice-messaging server is known on this machine"));
    ConnectionSpec resolved = resolver(spec);
    if (resolved.backend == Backend::VoiceServer)
        throw Error(errors::ConnectionFailed, QStringLiteral("[Data access] The voice-messaging server did not resolve"));
    return resolved;
}

Error databaseError(const QSqlError& error, const QString& context) {
    bool ok = false;
    const int native = error.nativeErrorCode().toInt(&ok);
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (!error.driverText().isEmpty() && error.databaseText().isEmpty()) text = error.driverText();
    if (!context.isEmpty()) text = context + QStringLiteral(": ") + text;
    return Error(ok && native != 0 ? native : errors::ConnectionFailed, text);
}

bool isMySql(const QSqlDatabase& db) { return db.driverName() == QLatin1String("QMYSQL"); }

QSqlDatabase database(const QString& connectionString, bool create) {
    ThreadConnections& open = connections();
    const QString existing = open.name(connectionString);
    if (!existing.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(existing, false);
            const bool cut = isMySql(db) && com::databaseLinksCut();
            if (db.isOpen() && open.holdsItsFile(connectionString) && !cut) return db;
        }
        open.drop(connectionString);
    }

    const ConnectionSpec spec = open.spec(connectionString);
    if (spec.backend == Backend::MySql && com::databaseLinksCut())
        throw Error(errors::ConnectionFailed,
                    QStringLiteral("[MySQL] No new connection while stopping: the database server did not answer"));
    QSqlDatabase db;
    if (spec.backend == Backend::Sqlite) {
        if (!create && !QFileInfo(spec.path).isFile())
            throw Error(errors::ConnectionFailed,
                        QStringLiteral("[SQLite] Unable to open database file: ") + spec.path);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), open.add(connectionString));
        db.setDatabaseName(spec.path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), open.add(connectionString));
        db.setHostName(spec.host);
        if (spec.port > 0) db.setPort(spec.port);
        db.setDatabaseName(spec.database);
        db.setUserName(spec.user);
        db.setPassword(spec.password);
        // OPTION=3 of the documented string: report rows matched, not rows changed.
        db.setConnectOptions(QStringLiteral(
            "CLIENT_FOUND_ROWS;MYSQL_OPT_CONNECT_TIMEOUT=5;MYSQL_OPT_READ_TIMEOUT=60;MYSQL_OPT_WRITE_TIMEOUT=60"));
    }
    if (!db.isValid()) {
        open.drop(connectionString);
        throw Error(errors::ConnectionFailed, QStringLiteral("[Data access] Database driver not available"));
    }
    const bool newFile = spec.backend == Backend::Sqlite && !QFileInfo::exists(spec.path);
    if (!db.open()) {
        const Error error = databaseError(db.lastError());
        db = QSqlDatabase();
        open.drop(connectionString);
        throw error;
    }
    if (newFile) giveNewFileMode(spec.path);
    open.opened(connectionString, db);
    if (spec.onOpen) spec.onOpen(db);
    return db;
}

void dropConnection(const QString& connectionString) { connections().drop(connectionString); }

void dropThreadConnections() { connections().dropAll(); }

void releaseConnectionsOf(quint64 envSerial) {
    if (!threadConnections.hasLocalData()) return;
    ThreadConnections& open = *threadConnections.localData();
    if (open.belongsTo(envSerial)) open.dropAll();
}

bool isLinkLost(int errorNumber) {
    switch (errorNumber) {
        case errors::CannotConnectLocal: case errors::CannotConnect: case errors::ServerGone:
        case errors::LostDuringQuery: case errors::LostWithSystemError:
            return true;
        default:
            return false;
    }
}

bool forgetIfLinkLost(const QString& connectionString, const Error& error) {
    ThreadConnections& open = connections();
    const QString name = open.name(connectionString);
    if (name.isEmpty()) return false;  // never opened, or already forgotten
    bool lost = isLinkLost(error.number());
    // The data layer's own errors say nothing about the link; for any other,
    // a connection that no longer answers is as good as gone.
    static const int own[] = {errors::RowNotFound, errors::NotUpdatable, errors::NoCurrentRecord,
                              errors::ItemNotFound, errors::BadArguments, errors::ObjectClosed,
                              errors::WriteRefused};
    if (!lost && std::find(std::begin(own), std::end(own), error.number()) == std::end(own)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery probe(db);
        lost = !db.isOpen() || !probe.exec(QStringLiteral("SELECT 1"));
    }  // the probe and its database are released before the connection is dropped
    if (lost) open.drop(connectionString);
    return lost;
}

const ConnectionSpec& connectionSpec(const QString& connectionString) { return connections().spec(connectionString); }

QString translateSql(const QString& connectionString, const QString& sql) {
    const ConnectionSpec& spec = connectionSpec(connectionString);
    return spec.translateSql ? spec.translateSql(sql) : sql;
}

}  // namespace platform::db
