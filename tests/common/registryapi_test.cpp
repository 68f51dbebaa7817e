#include <gtest/gtest.h>

#include "common/RegistryAPI.h"
#include "common/ErrorNumbers.h"
#include "tests/support/TestEnvironment.h"

using namespace RegistryAPI;

namespace {

class RegistryApiTest : public StavioTest {
protected:
    const QString key = QStringLiteral("Software\\Brightkeel\\Stavio");
};

TEST_F(RegistryApiTest, CreateKeyTellsWhetherTheKeyWasThere) {
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
    EXPECT_FALSE(CreateKey(HKEY_LOCAL_MACHINE, key));
    EXPECT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, key));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key + QLatin1Char('\\')));
    EXPECT_FALSE(KeyExists(0x80000001u, key));  // only HKEY_LOCAL_MACHINE is kept
}

TEST_F(RegistryApiTest, StringsReadThroughA1024ByteBuffer) {
    CreateKey(HKEY_LOCAL_MACHINE, key);
    const QVariant def(QStringLiteral("default"));
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("fits"), REG_SZ, QString(1023, QLatin1Char('x')));
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("long"), REG_SZ, QString(1024, QLatin1Char('x')));
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("empty"), REG_SZ, QString());
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("fits"), REG_SZ, def).toString().size(), 1023);
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("long"), REG_SZ, def), def);
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("empty"), REG_SZ, def).toString(), QString());
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("missing"), REG_SZ, def), def);
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, QStringLiteral("No\\Key"), QStringLiteral("fits"), REG_SZ, def), def);
}

TEST_F(RegistryApiTest, BinaryAndDwordValues) {
    CreateKey(HKEY_LOCAL_MACHINE, key);
    const QByteArray bytes(4096, '\x7f');
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("bin"), REG_BINARY, bytes);
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("big"), REG_BINARY, QByteArray(4097, 'x'));
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("num"), REG_DWORD, 40000);
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("neg"), REG_DWORD, -1);
    SetValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("other"), 7, 5);  // other types write nothing
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("bin"), REG_BINARY, QByteArray()).toByteArray(), bytes);
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("big"), REG_BINARY, QByteArray("d")).toByteArray(),
              QByteArray("d"));
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("num"), REG_DWORD, 0).toInt(), 40000);
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("neg"), REG_DWORD, 0).toInt(), -1);
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("other"), REG_DWORD, 9).toInt(), 9);
    // A value of another type than asked for reads as missing.
    EXPECT_EQ(QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("num"), REG_SZ, QStringLiteral("d")).toString(),
              QStringLiteral("d"));
}

TEST_F(RegistryApiTest, UnsupportedTypeIsError1001AndMissingKeyWritesNothing) {
    CreateKey(HKEY_LOCAL_MACHINE, key);
    try {
        QueryValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("x"), 2, QVariant());
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 1001);
        EXPECT_EQ(e.description(), QStringLiteral("Unsupported value type"));
    }
    SetValue(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Missing"), QStringLiteral("x"), REG_DWORD, 1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Missing")));
}

TEST_F(RegistryApiTest, RefusedCreateIsError1001) {
    // A store that cannot be opened: a folder stands where the file should be.
    QDir(folder()).mkdir(QStringLiteral("blocked.db"));
    environment().setRegistryPath(path(QStringLiteral("blocked.db")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
    try {
        CreateKey(HKEY_LOCAL_MACHINE, key);
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 1001);
        EXPECT_EQ(e.description(), QStringLiteral("Unable to create the registry key"));
    }
}

}  // namespace
