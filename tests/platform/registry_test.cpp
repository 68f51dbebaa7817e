#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/db/connection.h"
#include "platform/env.h"
#include "platform/registry.h"
#include "tests/platform/RawConnection.h"
#include "tests/support/FakeClock.h"

using platform::RegistryStore;
using platform::RegType;
using platform::RegValue;

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("reg.db")); }
};

QString errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::Error& e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("no error");
}

void writeSettings(const QString& path, int count) {
    RegistryStore store(path);
    store.createKey(QStringLiteral("Software\\Brightkeel\\Stavio"));
    for (int i = 0; i < count; ++i)
        store.setValue(QStringLiteral("Software\\Brightkeel\\Stavio"), QStringLiteral("Value %1").arg(i),
                       RegValue::sz(QString(200, QLatin1Char('a' + i % 26))));
}

TEST_F(RegistryStoreTest, KeyPathsIgnoreCaseAndSurplusSeparators) {
    RegistryStore store(file());
    EXPECT_FALSE(store.createKey(QStringLiteral("Software\\Brightkeel\\Stavio")));
    EXPECT_TRUE(store.keyExists(QStringLiteral("SOFTWARE\\brightkeel\\STAVIO\\")));
    EXPECT_TRUE(store.keyExists(QStringLiteral("software\\brightkeel")));  // parents made too
    EXPECT_TRUE(store.createKey(QStringLiteral("software\\BRIGHTKEEL\\stavio")));
    EXPECT_FALSE(store.keyExists(QStringLiteral("Software\\Brightkeel\\Other")));

    ASSERT_TRUE(store.setValue(QStringLiteral("Software\\Brightkeel\\Stavio\\"),
                               QStringLiteral("Debug Mode"), RegValue::fromDword(1)));
    const auto v = store.value(QStringLiteral("software\\brightkeel\\stavio"), QStringLiteral("DEBUG MODE"));
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->type, RegType::Dword);
    EXPECT_EQ(v->dword, 1u);
    EXPECT_EQ(store.subkeys(QStringLiteral("SOFTWARE")), QStringList{QStringLiteral("Brightkeel")});
}

TEST_F(RegistryStoreTest, TypedValuesRoundTripAndReplaceEachOther) {
    RegistryStore store(file());
    const QString key = QStringLiteral("K");
    store.createKey(key);
    const QByteArray bytes("\x00\x01\xff", 3);
    store.setValue(key, QStringLiteral("s"), RegValue::sz(QStringLiteral("Zoë, \"quoted\"")));
    store.setValue(key, QStringLiteral("b"), RegValue::binary(bytes));
    store.setValue(key, QStringLiteral("d"), RegValue::fromDword(0xFFFFFFFFu));
    store.setValue(key, QStringLiteral("e"), RegValue::sz(QString()));
    EXPECT_EQ(*store.value(key, QStringLiteral("s")), RegValue::sz(QStringLiteral("Zoë, \"quoted\"")));
    EXPECT_EQ(*store.value(key, QStringLiteral("b")), RegValue::binary(bytes));
    EXPECT_EQ(store.value(key, QStringLiteral("d"))->dword, 0xFFFFFFFFu);
    EXPECT_EQ(store.value(key, QStringLiteral("e"))->text, QString());

    store.setValue(key, QStringLiteral("S"), RegValue::fromDword(7));  // same name, other case
    EXPECT_EQ(store.value(key, QStringLiteral("s"))->type, RegType::Dword);
    EXPECT_EQ(store.values(key).size(), 4u);
}

TEST_F(RegistryStoreTest, WritesToMissingKeyAreRefusedAndDeletesAreRecursive) {
    RegistryStore store(file());
    EXPECT_FALSE(store.setValue(QStringLiteral("Missing"), QStringLiteral("x"), RegValue::sz(QStringLiteral("1"))));
    EXPECT_FALSE(store.value(QStringLiteral("Missing"), QStringLiteral("x")).has_value());

    store.createKey(QStringLiteral("A\\B\\C"));
    store.createKey(QStringLiteral("AB"));
    store.createKey(QStringLiteral("A\\BC"));
    store.setValue(QStringLiteral("A\\B\\C"), QStringLiteral("v"), RegValue::fromDword(1));
    store.setValue(QStringLiteral("AB"), QStringLiteral("v"), RegValue::fromDword(2));
    store.setValue(QStringLiteral("A\\BC"), QStringLiteral("v"), RegValue::fromDword(3));
    EXPECT_TRUE(store.deleteKey(QStringLiteral("a\\b")));
    EXPECT_FALSE(store.keyExists(QStringLiteral("A\\B\\C")));
    EXPECT_FALSE(store.value(QStringLiteral("A\\B\\C"), QStringLiteral("v")).has_value());
    EXPECT_TRUE(store.keyExists(QStringLiteral("A")));
    // A sibling whose name merely begins with the deleted key's is untouched.
    EXPECT_EQ(store.value(QStringLiteral("AB"), QStringLiteral("v"))->dword, 2u);
    EXPECT_TRUE(store.keyExists(QStringLiteral("A\\BC")));
    EXPECT_EQ(store.value(QStringLiteral("A\\BC"), QStringLiteral("v"))->dword, 3u);
    EXPECT_FALSE(store.deleteKey(QStringLiteral("a\\b")));
    EXPECT_TRUE(store.deleteValue(QStringLiteral("AB"), QStringLiteral("V")));
    EXPECT_FALSE(store.deleteValue(QStringLiteral("AB"), QStringLiteral("V")));
}

TEST_F(RegistryStoreTest, ValuesPersistAcrossStoresOnTheSameFile) {
    {
        RegistryStore writer(file());
        writer.createKey(QStringLiteral("K"));
        writer.setValue(QStringLiteral("K"), QStringLiteral("n"), RegValue::sz(QStringLiteral("kept")));
    }
    RegistryStore reader(file());
    EXPECT_EQ(reader.value(QStringLiteral("k"), QStringLiteral("N"))->text, QStringLiteral("kept"));
}

// A store restored from a backup (another file moved onto the path) is read
// and written from then on, not the file it replaced.
TEST_F(RegistryStoreTest, AStoreReplacedUnderItsPathIsOpenedAnew) {
    RegistryStore store(file());
    store.createKey(QStringLiteral("S"));
    store.setValue(QStringLiteral("S"), QStringLiteral("v"), RegValue::fromDword(1));
    const QString backup = dir.filePath(QStringLiteral("backup.db"));
    {
        RegistryStore restored(backup);
        restored.createKey(QStringLiteral("S"));
        restored.setValue(QStringLiteral("S"), QStringLiteral("v"), RegValue::fromDword(2));
    }
    for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(file() + QLatin1String(suffix));
    ASSERT_TRUE(QFile::rename(backup, file()));
    QFile::remove(backup + QStringLiteral("-wal"));
    QFile::remove(backup + QStringLiteral("-shm"));
    EXPECT_EQ(store.value(QStringLiteral("S"), QStringLiteral("v"))->dword, 2u);
    store.setValue(QStringLiteral("S"), QStringLiteral("w"), RegValue::fromDword(3));
    EXPECT_EQ(RegistryStore(file()).value(QStringLiteral("S"), QStringLiteral("w"))->dword, 3u);
}

// Made under the administrators' umask, a new store (and an SQLite database
// made through the data layer) may be written by the group, as every other
// file of theirs: SQLite alone would make it 0644 less the umask.
TEST_F(RegistryStoreTest, ANewStoreTakesTheModeTheUmaskAllows) {
    const mode_t saved = ::umask(0007);
    {
        RegistryStore store(file());
        store.createKey(QStringLiteral("K"));
    }
    const QString database = dir.filePath(QStringLiteral("made.sqlite"));
    platform::db::database(QStringLiteral("Driver={SQLite3};Database=") + database, true);
    platform::db::dropThreadConnections();
    ::umask(saved);
    const auto groupWrites = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup;
    const auto mask = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(file()) & mask, groupWrites);
    EXPECT_EQ(QFile::permissions(database) & mask, groupWrites);
}

TEST_F(RegistryStoreTest, UnopenableStoreIsAClearError) {
    // A folder where the file should be cannot be opened as a store.
    QDir(dir.path()).mkdir(QStringLiteral("reg.db"));
    try {
        RegistryStore store(file());
        FAIL() << "opened a folder as a store";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(file()));
    }
}

TEST_F(RegistryStoreTest, ReadersNeitherCreateNorLockNorSwitchTheJournal) {
    {
        RegistryStore reader(file());
        EXPECT_FALSE(reader.keyExists(QStringLiteral("Software")));
        EXPECT_TRUE(reader.values(QString()).empty());
        EXPECT_FALSE(QFile::exists(file())) << "a reader made the store";
    }

    // A store in the rollback journal, as another program may have left it.
    writeSettings(file(), 1);
    RawConnection other(file());
    other.exec("PRAGMA journal_mode=DELETE");
    {
        RegistryStore reader(file());
        EXPECT_EQ(reader.value(QStringLiteral("Software\\Brightkeel\\Stavio"), QStringLiteral("Value 0"))->text,
                  QString(200, QLatin1Char('a')));
    }
    EXPECT_EQ(other.text("PRAGMA journal_mode"), QStringLiteral("delete"));

    // A writer in the middle of its transaction does not hold a reader up.
    other.exec("PRAGMA journal_mode=WAL");
    other.exec("BEGIN IMMEDIATE");
    other.exec("INSERT INTO reg_keys VALUES('pending','Pending','')");
    QElapsedTimer took;
    took.start();
    RegistryStore reader(file());
    EXPECT_TRUE(reader.keyExists(QStringLiteral("Software\\Brightkeel\\Stavio")));
    EXPECT_FALSE(reader.keyExists(QStringLiteral("Pending")));
    EXPECT_LT(took.elapsed(), 1000);
    other.exec("COMMIT");
    EXPECT_TRUE(reader.keyExists(QStringLiteral("Pending")));
}

TEST_F(RegistryStoreTest, MissingTableIsDamageNotAnEmptyStore) {
    writeSettings(file(), 3);
    RegistryStore open(file());
    RawConnection(file()).exec("DROP TABLE reg_values");

    // A store already open finds the damage at its next read...
    const QString reading =
        errorOf([&] { open.values(QStringLiteral("Software\\Brightkeel\\Stavio")); });
    EXPECT_TRUE(reading.contains(QStringLiteral("no such table: reg_values"))) << reading.toStdString();
    EXPECT_TRUE(reading.contains(QStringLiteral("damaged"))) << reading.toStdString();
    EXPECT_TRUE(errorOf([&] { open.value(QStringLiteral("Software\\Brightkeel\\Stavio"), QStringLiteral("Value 1")); })
                    .contains(QStringLiteral("reg_values")));

    // ...and opening it again says so at once.
    const QString opening = errorOf([&] { RegistryStore again(file()); });
    EXPECT_EQ(opening, QStringLiteral("Registry store %1: table reg_values is missing; the store is damaged, "
                                      "restore it from a backup").arg(file()));
}

TEST_F(RegistryStoreTest, CorruptPagesAreAnErrorNotMissingValues) {
    writeSettings(file(), 100);  // enough rows for several pages
    {
        RawConnection other(file());
        other.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    QFile raw(file());
    ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
    const qint64 pageSize = 4096;
    ASSERT_GT(raw.size(), 3 * pageSize);
    raw.seek(pageSize);  // every page but the first, which holds the table list
    raw.write(QByteArray(raw.size() - pageSize, '\xA5'));
    raw.close();

    RegistryStore store(file());
    const QString error = errorOf([&] { store.values(QStringLiteral("Software\\Brightkeel\\Stavio")); });
    EXPECT_TRUE(error.contains(QStringLiteral("malformed")) && error.contains(QStringLiteral("damaged")))
        << error.toStdString();
    EXPECT_NE(errorOf([&] { store.keyExists(QStringLiteral("Software\\Brightkeel\\Stavio")); }),
              QStringLiteral("no error"));
}

TEST_F(RegistryStoreTest, AFileThatIsNoStoreFailsAtOnce) {
    QFile other(file());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(8192, 'x'));
    other.close();
    platform::Env env;
    auto clock = std::make_shared<FakeClock>(QDateTime(QDate(2026, 12, 6), QTime(7, 0)));
    env.setClock(clock);
    platform::ScopedEnv installed(env);
    const QString error = errorOf([&] { RegistryStore store(file()); });
    EXPECT_TRUE(error.contains(QStringLiteral("file is not a database"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("damaged"))) << error.toStdString();
    // Only "busy" and "locked" are worth waiting for.
    EXPECT_EQ(clock->now(), QDateTime(QDate(2026, 12, 6), QTime(7, 0)));
}

TEST_F(RegistryStoreTest, AWriteThatDidNotHappenIsAnError) {
    writeSettings(file(), 1);
    RawConnection(file()).exec(
        "CREATE TRIGGER swallow BEFORE INSERT ON reg_values BEGIN SELECT RAISE(IGNORE); END");
    RegistryStore store(file());
    const QString error = errorOf([&] {
        store.setValue(QStringLiteral("Software\\Brightkeel\\Stavio"), QStringLiteral("Debug Mode"),
                       RegValue::fromDword(1));
    });
    EXPECT_TRUE(error.contains(QStringLiteral("cannot write value Debug Mode"))) << error.toStdString();
    EXPECT_FALSE(store.value(QStringLiteral("Software\\Brightkeel\\Stavio"), QStringLiteral("Debug Mode")));
}

TEST_F(RegistryStoreTest, MachineStoreIsTheInstalledEnvironments) {
    platform::Env env;
    env.setRegistryPath(file());
    platform::ScopedEnv installed(env);
    EXPECT_EQ(platform::machineRegistry().path(), file());
    const QString other = dir.filePath(QStringLiteral("other.db"));
    env.setRegistryPath(other);
    EXPECT_EQ(platform::machineRegistry().path(), other);
}

TEST(RegistryStorePath, TheMachineStoreUnlessTheVariableNamesAnother) {
    const QByteArray saved = qgetenv("STAVIO_REGISTRY");
    qunsetenv("STAVIO_REGISTRY");
    EXPECT_EQ(platform::defaultRegistryPath(), QStringLiteral("/var/lib/stavio/registry.db"));
    qputenv("STAVIO_REGISTRY", "/srv/hotel/registry.db");
    EXPECT_EQ(platform::defaultRegistryPath(), QStringLiteral("/srv/hotel/registry.db"));
    EXPECT_EQ(platform::Env().registryPath(), QStringLiteral("/srv/hotel/registry.db"));
    if (saved.isEmpty()) qunsetenv("STAVIO_REGISTRY"); else qputenv("STAVIO_REGISTRY", saved);
}

}  // namespace
