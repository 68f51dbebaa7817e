#include "platform/registry.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <QFileInfo>
#include <QUrl>
#include <cerrno>
#include <cstring>

#include "platform/clock.h"
#include "platform/env.h"
#include "platform/filemode.h"

namespace platform {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;
constexpr int kJournalAttempts = 1000;
constexpr int kJournalRetryMs = 10;

QString fold(const QString& text) { return text.toCaseFolded(); }

// Another program holds the file for a moment: worth waiting for. Everything
// else (a damaged file, missing rights) stays as it is and fails at once.
bool isTransient(int rc) {
    rc &= 0xFF;
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

bool isPermission(int rc) {
    rc &= 0xFF;
    return rc == SQLITE_READONLY || rc == SQLITE_PERM || rc == SQLITE_AUTH;
}

bool isPermissionErrno(int error) { return error == EACCES || error == EPERM || error == EROFS; }

QString parentOf(const QString& key) {
    const qsizetype cut = key.lastIndexOf(QLatin1Char('\\'));
    return cut < 0 ? QString() : key.left(cut);
}

const char* const kDamaged = "; the store is damaged, restore it from a backup";
const char* const kReadOnly = "; the store is read-only for this user, run as an administrator";

}  // namespace

// One prepared statement, finalised on scope exit. A statement that cannot be
// prepared or run raises the store's error: it never reads as "no rows".
class RegistryStore::Statement {
public:
    Statement(RegistryStore& store, const char* sql, QString action) : m_store(store), m_action(std::move(action)) {
        if (sqlite3_prepare_v2(store.m_db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) store.fail(m_action);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int i, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindBlob(int i, const QByteArray& bytes) {
        sqlite3_bind_blob(m_stmt, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    void bindInt(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    // True with a row to read, false when done.
    bool next() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        m_store.fail(m_action);
    }
    QString text(int col) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col)),
                                 sqlite3_column_bytes(m_stmt, col));
    }
    QByteArray blob(int col) const {
        const void* p = sqlite3_column_blob(m_stmt, col);
        return QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(m_stmt, col));
    }
    qint64 integer(int col) const { return sqlite3_column_int64(m_stmt, col); }

    RegValue value(int typeCol, int dataCol) const {
        switch (static_cast<RegType>(integer(typeCol))) {
            case RegType::Sz: return RegValue::sz(text(dataCol));
            case RegType::Binary: return RegValue::binary(blob(dataCol));
            case RegType::Dword: return RegValue::fromDword(quint32(integer(dataCol)));
        }
        return RegValue::binary(blob(dataCol));
    }

private:
    RegistryStore& m_store;
    QString m_action;
    sqlite3_stmt* m_stmt = nullptr;
};

QString regTypeName(RegType type) {
    switch (type) {
        case RegType::Sz: return QStringLiteral("REG_SZ");
        case RegType::Binary: return QStringLiteral("REG_BINARY");
        case RegType::Dword: return QStringLiteral("REG_DWORD");
    }
    return QStringLiteral("REG_UNKNOWN");
}

QString RegValue::display() const {
    switch (type) {
        case RegType::Sz: return text;
        case RegType::Binary: return QString::fromLatin1(bytes.toHex());
        case RegType::Dword: return QString::number(dword);
    }
    return {};
}

RegistryStore::RegistryStore(const QString& path) : m_path(path) {
    // A store that cannot be read throws from here, and no destructor runs
    // for a constructor that threw: the connection is let go first.
    try {
        openForReading();
    } catch (...) {
        close();
        throw;
    }
}

RegistryStore::~RegistryStore() { close(); }

void RegistryStore::close() {
    sqlite3_close(m_db);
    m_db = nullptr;
    m_writable = false;
    m_schemaReady = false;
}

QString RegistryStore::errorText(const QString& what) const {
    QString message = QStringLiteral("Registry store %1: %2").arg(m_path, what);
    const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_OK;
    const QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
    if (code != SQLITE_OK) message += QStringLiteral(" (%1)").arg(detail);
    const bool damagedTables =
        detail.startsWith(QLatin1String("no such table")) || detail.startsWith(QLatin1String("no such column"));
    if ((code & 0xFF) == SQLITE_CORRUPT || (code & 0xFF) == SQLITE_NOTADB || damagedTables)
        message += QLatin1String(kDamaged);
    else if (m_readOnly || isPermission(code))
        message += QLatin1String(kReadOnly);
    return message;
}

void RegistryStore::fail(const QString& what) { throw registryError(errorText(what)); }

void RegistryStore::openForReading() {
    close();
    const QByteArray native = QFile::encodeName(m_path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT) return;  // not made yet: an empty store until the first write
        throw registryError(QStringLiteral("Registry store %1: cannot open (%2)")
                                .arg(m_path, QString::fromLocal8Bit(std::strerror(error))));
    }
    const auto open = [&](const QByteArray& name, int flags) {
        if (sqlite3_open_v2(name.constData(), &m_db, flags | SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr) !=
            SQLITE_OK)
            fail(QStringLiteral("cannot open"));
        sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    };
    m_device = quint64(info.st_dev);
    m_inode = quint64(info.st_ino);
    open(native, 0);
    const int rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    const bool noLogIndex = isPermission(rc) || (rc & 0xFF) == SQLITE_CANTOPEN;
    if (noLogIndex && QFileInfo::exists(m_path + QStringLiteral("-wal"))) {
        // The log holds writes the file may lack: the file alone could show older values.
        fail(QStringLiteral("cannot set up the index of its write-ahead log, its folder is not writable for this user"));
    }
    if (noLogIndex) {
        // A copy of the store without its write-ahead log, in a folder this user
        // may not write: SQLite cannot set up the log's index there. Writers keep
        // the log beside the store, so with none there the file holds everything.
        close();
        const QByteArray uri = QUrl::fromLocalFile(QFileInfo(m_path).absoluteFilePath()).toEncoded() + "?immutable=1";
        open(uri, SQLITE_OPEN_URI);
    }
    hasSchema();  // a file that is not a store, or a damaged one, fails here
}

void RegistryStore::openForWriting() {
    if (!env().writeAllowed()) throw registryError(errorText(QStringLiteral("the write was refused")));
    if (m_writable) return;
    close();
    // The store's folder is the installation's (or the one STAVIO_REGISTRY
    // names): a folder that is not there is a mistake to report, not to make.
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo(folder).isDir())
        throw registryError(errorText(QStringLiteral("cannot write: its folder %1 does not exist").arg(folder)));
    const QByteArray native = QFile::encodeName(m_path);
    const bool newFile = !QFileInfo::exists(m_path);
    const int rc =
        sqlite3_open_v2(native.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr);
    if (rc == SQLITE_OK && newFile) giveNewFileMode(m_path);
    if (rc != SQLITE_OK || sqlite3_db_readonly(m_db, "main") == 1) {
        m_readOnly = rc == SQLITE_OK || isPermissionErrno(sqlite3_system_errno(m_db));
        const QString message = errorText(QStringLiteral("cannot write"));
        try {
            openForReading();  // reading goes on as before
        } catch (const Error&) {
        }
        throw registryError(message);
    }
    m_writable = true;
    struct stat info;
    if (::stat(native.constData(), &info) == 0) {
        m_device = quint64(info.st_dev);
        m_inode = quint64(info.st_ino);
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    // Keep the write-ahead log and its index beside the store after the last
    // writer closes it, so that users who may not write there can still read.
    int keep = 1;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
    if (schemaVersion() < kSchemaVersion) createSchema();
    hasSchema();
}

bool RegistryStore::replaced() const {
    struct stat info;
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0) return true;
    return quint64(info.st_dev) != m_device || quint64(info.st_ino) != m_inode;
}

bool RegistryStore::hasSchema() {
    if (m_db && replaced()) close();
    if (m_schemaReady) return true;
    if (!m_db) {
        if (!QFileInfo::exists(m_path)) return false;
        openForReading();  // made by another program meanwhile
        return m_schemaReady;
    }
    const int version = schemaVersion();
    if (version == 0) return false;
    if (version > kSchemaVersion) fail(QStringLiteral("was written by a newer version"));
    checkTables();
    m_schemaReady = true;
    return true;
}

int RegistryStore::schemaVersion() {
    Statement version(*this, "PRAGMA user_version", QStringLiteral("cannot read"));
    return version.next() ? int(version.integer(0)) : 0;
}

void RegistryStore::checkTables() {
    for (const char* table : {"reg_keys", "reg_values"}) {
        Statement st(*this, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?", QStringLiteral("cannot read"));
        st.bind(1, QLatin1String(table));
        if (!st.next()) {
            throw registryError(QStringLiteral("Registry store %1: table %2 is missing%3")
                                    .arg(m_path, QLatin1String(table), QLatin1String(kDamaged)));
        }
    }
}

void RegistryStore::exec(const char* sql) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(sql).section(QLatin1Char(' '), 0, 1));
}

void RegistryStore::useWriteAheadLog() {
    // Switching the journal needs the file to itself, and SQLite does not wait
    // for that: when another program is opening the store at the same moment,
    // try again shortly (it may well have switched it meanwhile). Nothing but
    // "busy" and "locked" is worth another try.
    for (int attempt = 0;; ++attempt) {
        sqlite3_stmt* mode = nullptr;
        int rc = sqlite3_prepare_v2(m_db, "PRAGMA journal_mode=WAL", -1, &mode, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(mode);
        sqlite3_finalize(mode);
        if (rc == SQLITE_ROW) return;
        if (!isTransient(rc) || attempt >= kJournalAttempts) fail(QStringLiteral("PRAGMA journal_mode=WAL"));
        clock().sleepMs(kJournalRetryMs);
    }
}

void RegistryStore::createSchema() {
    // The journal mode is kept in the file: only the program that makes the
    // tables sets it.
    useWriteAheadLog();
    exec("BEGIN IMMEDIATE");
    try {
        const int current = schemaVersion();
        if (current > kSchemaVersion) fail(QStringLiteral("was written by a newer version"));
        if (current < kSchemaVersion) {
            exec("CREATE TABLE IF NOT EXISTS reg_keys ("
                 " folded TEXT PRIMARY KEY, path TEXT NOT NULL, parent TEXT NOT NULL)");
            exec("CREATE INDEX IF NOT EXISTS reg_keys_parent ON reg_keys(parent)");
            exec("CREATE TABLE IF NOT EXISTS reg_values ("
                 " key TEXT NOT NULL, folded_name TEXT NOT NULL, name TEXT NOT NULL,"
                 " type INTEGER NOT NULL, data BLOB, PRIMARY KEY(key, folded_name))");
            exec("PRAGMA user_version=1");
        }
        exec("COMMIT");
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

QString RegistryStore::normalizeKey(const QString& key) {
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

bool RegistryStore::keyExists(const QString& key) {
    const QString k = normalizeKey(key);
    if (k.isEmpty()) return true;
    std::lock_guard lock(m_mutex);
    if (!hasSchema()) return false;
    Statement st(*this, "SELECT 1 FROM reg_keys WHERE folded=?", QStringLiteral("cannot read key %1").arg(k));
    st.bind(1, fold(k));
    return st.next();
}

bool RegistryStore::createKey(const QString& key) {
    const QString k = normalizeKey(key);
    std::lock_guard lock(m_mutex);
    if (keyExists(k)) return true;
    openForWriting();
    exec("BEGIN IMMEDIATE");
    bool existed = true;
    try {
        QString path = k;
        while (!path.isEmpty()) {
            Statement st(*this, "INSERT OR IGNORE INTO reg_keys(folded, path, parent) VALUES(?,?,?)",
                         QStringLiteral("cannot create key %1").arg(k));
            st.bind(1, fold(path));
            st.bind(2, path);
            st.bind(3, fold(parentOf(path)));
            st.next();
            if (path == k) existed = sqlite3_changes(m_db) == 0;
            path = parentOf(path);
        }
        exec("COMMIT");
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return existed;
}

bool RegistryStore::deleteKey(const QString& key) {
    const QString k = fold(normalizeKey(key));
    if (k.isEmpty()) return false;
    std::lock_guard lock(m_mutex);
    if (!hasSchema()) return false;
    openForWriting();
    exec("BEGIN IMMEDIATE");
    int removed = 0;
    try {
        // The key and everything below it: its own path or paths that begin "key\".
        const QString below = k + QLatin1Char('\\');
        const QString action = QStringLiteral("cannot delete key %1").arg(normalizeKey(key));
        Statement values(*this, "DELETE FROM reg_values WHERE key=? OR substr(key,1,length(?))=?", action);
        Statement keys(*this, "DELETE FROM reg_keys WHERE folded=? OR substr(folded,1,length(?))=?", action);
        for (Statement* st : {&values, &keys}) {
            st->bind(1, k);
            st->bind(2, below);
            st->bind(3, below);
            st->next();
        }
        removed = sqlite3_changes(m_db);
        exec("COMMIT");
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return removed > 0;
}

std::optional<RegValue> RegistryStore::value(const QString& key, const QString& name) {
    std::lock_guard lock(m_mutex);
    if (!hasSchema()) return std::nullopt;
    Statement st(*this, "SELECT type, data FROM reg_values WHERE key=? AND folded_name=?",
                 QStringLiteral("cannot read value %1").arg(name));
    st.bind(1, fold(normalizeKey(key)));
    st.bind(2, fold(name));
    if (!st.next()) return std::nullopt;
    return st.value(0, 1);
}

bool RegistryStore::setValue(const QString& key, const QString& name, const RegValue& value) {
    const QString k = normalizeKey(key);
    std::lock_guard lock(m_mutex);
    if (!keyExists(k)) return false;
    openForWriting();
    const QString action = QStringLiteral("cannot write value %1").arg(name);
    Statement st(*this,
                 "INSERT INTO reg_values(key, folded_name, name, type, data) VALUES(?,?,?,?,?)"
                 " ON CONFLICT(key, folded_name) DO UPDATE SET type=excluded.type,"
                 " data=excluded.data",
                 action);
    st.bind(1, fold(k));
    st.bind(2, fold(name));
    st.bind(3, name);
    st.bindInt(4, static_cast<int>(value.type));
    switch (value.type) {
        case RegType::Sz: st.bind(5, value.text); break;
        case RegType::Binary: st.bindBlob(5, value.bytes); break;
        case RegType::Dword: st.bindInt(5, value.dword); break;
    }
    st.next();
    if (sqlite3_changes(m_db) == 0) fail(action);  // the statement ran, yet nothing was written
    return true;
}

bool RegistryStore::deleteValue(const QString& key, const QString& name) {
    std::lock_guard lock(m_mutex);
    if (!hasSchema()) return false;
    openForWriting();
    Statement st(*this, "DELETE FROM reg_values WHERE key=? AND folded_name=?",
                 QStringLiteral("cannot delete value %1").arg(name));
    st.bind(1, fold(normalizeKey(key)));
    st.bind(2, fold(name));
    st.next();
    return sqlite3_changes(m_db) > 0;
}

QStringList RegistryStore::subkeys(const QString& key) {
    std::lock_guard lock(m_mutex);
    QStringList names;
    if (!hasSchema()) return names;
    Statement st(*this, "SELECT path FROM reg_keys WHERE parent=? ORDER BY rowid",
                 QStringLiteral("cannot read key %1").arg(normalizeKey(key)));
    st.bind(1, fold(normalizeKey(key)));
    while (st.next()) names << st.text(0).section(QLatin1Char('\\'), -1);
    return names;
}

std::vector<RegNamedValue> RegistryStore::values(const QString& key) {
    std::lock_guard lock(m_mutex);
    std::vector<RegNamedValue> result;
    if (!hasSchema()) return result;
    Statement st(*this, "SELECT name, type, data FROM reg_values WHERE key=? ORDER BY rowid",
                 QStringLiteral("cannot read key %1").arg(normalizeKey(key)));
    st.bind(1, fold(normalizeKey(key)));
    while (st.next()) result.push_back({st.text(0), st.value(1, 2)});
    return result;
}

QString machineRegistryPath() { return env().registryPath(); }

RegistryStore& machineRegistry() { return env().registry(); }

}  // namespace platform
