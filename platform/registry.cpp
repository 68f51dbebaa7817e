#include "platform/registry.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

#include "platform/clock.h"
#include "platform/env.h"

namespace platform {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;
constexpr int kJournalAttempts = 1000;
constexpr int kJournalRetryMs = 10;

QString fold(const QString& text) { return text.toCaseFolded(); }

// One prepared statement, finalised on scope exit.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) m_stmt = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    bool ok() const { return m_stmt != nullptr; }
    void bind(int i, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindBlob(int i, const QByteArray& bytes) {
        sqlite3_bind_blob(m_stmt, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    void bindInt(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    int step() { return sqlite3_step(m_stmt); }
    QString text(int col) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col)),
                                 sqlite3_column_bytes(m_stmt, col));
    }
    QByteArray blob(int col) const {
        const void* p = sqlite3_column_blob(m_stmt, col);
        return QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(m_stmt, col));
    }
    qint64 integer(int col) const { return sqlite3_column_int64(m_stmt, col); }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

RegValue readValue(const Statement& st, int typeCol, int dataCol) {
    const auto type = static_cast<RegType>(st.integer(typeCol));
    switch (type) {
        case RegType::Sz: return RegValue::sz(st.text(dataCol));
        case RegType::Binary: return RegValue::binary(st.blob(dataCol));
        case RegType::Dword: return RegValue::fromDword(quint32(st.integer(dataCol)));
    }
    return RegValue::binary(st.blob(dataCol));
}

QString parentOf(const QString& key) {
    const qsizetype cut = key.lastIndexOf(QLatin1Char('\\'));
    return cut < 0 ? QString() : key.left(cut);
}

}  // namespace

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
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    const QByteArray native = QFile::encodeName(path);
    int rc = sqlite3_open_v2(native.constData(), &m_db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        // Someone who may not administer can still read the settings.
        sqlite3_close(m_db);
        m_db = nullptr;
        rc = sqlite3_open_v2(native.constData(), &m_db,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr);
        m_readOnly = true;
    }
    if (rc != SQLITE_OK) fail(QStringLiteral("cannot open"));
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    if (!m_readOnly) ensureSchema();
}

RegistryStore::~RegistryStore() { sqlite3_close(m_db); }

void RegistryStore::fail(const QString& what) {
    const QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no store");
    QString message = QStringLiteral("Registry store %1: %2 (%3)").arg(m_path, what, detail);
    if (m_readOnly)
        message += QStringLiteral("; the store is read-only for this user, run as an administrator");
    throw RegistryError(message.toStdString());
}

void RegistryStore::exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        sqlite3_free(error);
        fail(QString::fromUtf8(sql).section(QLatin1Char(' '), 0, 1));
    }
}

void RegistryStore::useWriteAheadLog() {
    // Switching the journal needs the file to itself, and SQLite does not wait
    // for that: when another program is opening the store at the same moment,
    // try again shortly (it may well have switched it meanwhile).
    for (int attempt = 0;; ++attempt) {
        Statement mode(m_db, "PRAGMA journal_mode=WAL");
        if (mode.ok() && mode.step() == SQLITE_ROW) return;
        if (attempt >= kJournalAttempts) fail(QStringLiteral("PRAGMA journal_mode=WAL"));
        clock().sleepMs(kJournalRetryMs);
    }
}

void RegistryStore::ensureSchema() {
    useWriteAheadLog();
    exec("BEGIN IMMEDIATE");
    try {
        Statement version(m_db, "PRAGMA user_version");
        const int current = version.step() == SQLITE_ROW ? int(version.integer(0)) : 0;
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
    Statement st(m_db, "SELECT 1 FROM reg_keys WHERE folded=?");
    if (!st.ok()) return false;  // a store without tables holds no keys
    st.bind(1, fold(k));
    return st.step() == SQLITE_ROW;
}

bool RegistryStore::createKey(const QString& key) {
    const QString k = normalizeKey(key);
    std::lock_guard lock(m_mutex);
    if (keyExists(k)) return true;
    exec("BEGIN IMMEDIATE");
    bool existed = true;
    try {
        QString path = k;
        while (!path.isEmpty()) {
            Statement st(m_db, "INSERT OR IGNORE INTO reg_keys(folded, path, parent) VALUES(?,?,?)");
            if (!st.ok()) fail(QStringLiteral("cannot create key %1").arg(k));
            st.bind(1, fold(path));
            st.bind(2, path);
            st.bind(3, fold(parentOf(path)));
            if (st.step() != SQLITE_DONE) fail(QStringLiteral("cannot create key %1").arg(k));
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
    exec("BEGIN IMMEDIATE");
    int removed = 0;
    try {
        // The key and everything below it: its own path or paths that begin "key\".
        const QString below = k + QLatin1Char('\\');
        Statement values(m_db, "DELETE FROM reg_values WHERE key=? OR substr(key,1,length(?))=?");
        Statement keys(m_db, "DELETE FROM reg_keys WHERE folded=? OR substr(folded,1,length(?))=?");
        if (!values.ok() || !keys.ok()) fail(QStringLiteral("cannot delete key"));
        for (Statement* st : {&values, &keys}) {
            st->bind(1, k);
            st->bind(2, below);
            st->bind(3, below);
            if (st->step() != SQLITE_DONE) fail(QStringLiteral("cannot delete key"));
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
    Statement st(m_db, "SELECT type, data FROM reg_values WHERE key=? AND folded_name=?");
    if (!st.ok()) return std::nullopt;
    st.bind(1, fold(normalizeKey(key)));
    st.bind(2, fold(name));
    if (st.step() != SQLITE_ROW) return std::nullopt;
    return readValue(st, 0, 1);
}

bool RegistryStore::setValue(const QString& key, const QString& name, const RegValue& value) {
    const QString k = normalizeKey(key);
    std::lock_guard lock(m_mutex);
    if (!keyExists(k)) return false;
    Statement st(m_db,
                 "INSERT INTO reg_values(key, folded_name, name, type, data) VALUES(?,?,?,?,?)"
                 " ON CONFLICT(key, folded_name) DO UPDATE SET type=excluded.type,"
                 " data=excluded.data");
    if (!st.ok()) fail(QStringLiteral("cannot write value %1").arg(name));
    st.bind(1, fold(k));
    st.bind(2, fold(name));
    st.bind(3, name);
    st.bindInt(4, static_cast<int>(value.type));
    switch (value.type) {
        case RegType::Sz: st.bind(5, value.text); break;
        case RegType::Binary: st.bindBlob(5, value.bytes); break;
        case RegType::Dword: st.bindInt(5, value.dword); break;
    }
    if (st.step() != SQLITE_DONE) fail(QStringLiteral("cannot write value %1").arg(name));
    return true;
}

bool RegistryStore::deleteValue(const QString& key, const QString& name) {
    std::lock_guard lock(m_mutex);
    Statement st(m_db, "DELETE FROM reg_values WHERE key=? AND folded_name=?");
    if (!st.ok()) fail(QStringLiteral("cannot delete value %1").arg(name));
    st.bind(1, fold(normalizeKey(key)));
    st.bind(2, fold(name));
    if (st.step() != SQLITE_DONE) fail(QStringLiteral("cannot delete value %1").arg(name));
    return sqlite3_changes(m_db) > 0;
}

QStringList RegistryStore::subkeys(const QString& key) {
    std::lock_guard lock(m_mutex);
    QStringList names;
    Statement st(m_db, "SELECT path FROM reg_keys WHERE parent=? ORDER BY rowid");
    if (!st.ok()) return names;
    st.bind(1, fold(normalizeKey(key)));
    while (st.step() == SQLITE_ROW) names << st.text(0).section(QLatin1Char('\\'), -1);
    return names;
}

std::vector<RegNamedValue> RegistryStore::values(const QString& key) {
    std::lock_guard lock(m_mutex);
    std::vector<RegNamedValue> result;
    Statement st(m_db, "SELECT name, type, data FROM reg_values WHERE key=? ORDER BY rowid");
    if (!st.ok()) return result;
    st.bind(1, fold(normalizeKey(key)));
    while (st.step() == SQLITE_ROW) result.push_back({st.text(0), readValue(st, 1, 2)});
    return result;
}

QString machineRegistryPath() { return env().registryPath(); }

RegistryStore& machineRegistry() { return env().registry(); }

}  // namespace platform
