#pragma once
// The machine-wide registry store: keys with backslash paths (compared without
// regard to case) holding typed values. One SQLite file shared by every program
// on the machine; writers in several processes at once lose nothing.
//
// A store is opened for reading: readers never create, lock or change the
// file, so a user without write access reads the settings and a reader never
// waits behind a writer. The first write reopens it for writing (creating the
// file and its tables when needed). A damaged store is an error naming the
// damage, never an empty answer.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/error.h"

struct sqlite3;

namespace platform {

enum class RegType : int { Sz = 1, Binary = 3, Dword = 4 };

QString regTypeName(RegType type);  // "REG_SZ", "REG_BINARY", "REG_DWORD"

struct RegValue {
    RegType type = RegType::Sz;
    QString text;      // REG_SZ
    QByteArray bytes;  // REG_BINARY
    quint32 dword = 0;  // REG_DWORD

    static RegValue sz(const QString& text) { return {RegType::Sz, text, {}, 0}; }
    static RegValue binary(const QByteArray& bytes) { return {RegType::Binary, {}, bytes, 0}; }
    static RegValue fromDword(quint32 value) { return {RegType::Dword, {}, {}, value}; }
    // Text as `stavio-reg get` prints it: the string, the decimal number, or hex bytes.
    QString display() const;
    bool operator==(const RegValue&) const = default;
};

struct RegNamedValue {
    QString name;
    RegValue value;
};

// The store could not be opened, read or written (missing rights, damaged
// file): raised as an Error of this number, the number of an unexpected
// failure, which is what an error trap reports it as.
constexpr int kRegistryStoreFailure = 51;
inline Error registryError(const QString& description) { return Error(kRegistryStoreFailure, description); }

class RegistryStore {
public:
    // Opens the store at `path` for reading; a file that does not exist yet is
    // an empty store. Throws a registry error when the file cannot be read or is
    // damaged.
    explicit RegistryStore(const QString& path);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    const QString& path() const { return m_path; }

    // "a\\b\\" and "A\\B" name the same key; the empty path is the root.
    static QString normalizeKey(const QString& key);

    bool keyExists(const QString& key);
    // Creates the key and any missing parents; returns true when it already existed.
    bool createKey(const QString& key);
    // Deletes the key with its values and subkeys; false when it did not exist.
    bool deleteKey(const QString& key);

    std::optional<RegValue> value(const QString& key, const QString& name);
    // Writes into an existing key; returns false (writing nothing) when it is
    // missing. Throws a registry error when the value was not written.
    bool setValue(const QString& key, const QString& name, const RegValue& value);
    bool deleteValue(const QString& key, const QString& name);

    QStringList subkeys(const QString& key);  // direct children, as first written
    std::vector<RegNamedValue> values(const QString& key);

private:
    class Statement;

    void openForReading();
    void openForWriting();
    void close();
    // Whether the store holds its tables (a new, empty file does not).
    bool hasSchema();
    int schemaVersion();
    void checkTables();
    void createSchema();
    void useWriteAheadLog();
    void exec(const char* sql);
    // The store's path, what failed, SQLite's reason and what it means for the user.
    QString errorText(const QString& what) const;
    [[noreturn]] void fail(const QString& what);

    QString m_path;
    sqlite3* m_db = nullptr;
    bool m_writable = false;  // m_db is open for writing
    bool m_readOnly = false;  // this user may not write the store
    bool m_schemaReady = false;
    // The file m_db holds (device and inode): a store replaced under the
    // same path (restored from a backup) is opened anew.
    quint64 m_device = 0, m_inode = 0;
    bool replaced() const;
    std::recursive_mutex m_mutex;
};

// The installed environment's store (env STAVIO_REGISTRY, else
// /var/lib/stavio/registry.db, unless the program says otherwise). Throws
// a registry error when it cannot be opened.
RegistryStore& machineRegistry();
QString machineRegistryPath();

}  // namespace platform
