#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/env.h"
#include "platform/registry.h"

using platform::RegistryStore;
using platform::RegType;
using platform::RegValue;

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("reg.db")); }
};

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
    store.setValue(QStringLiteral("A\\B\\C"), QStringLiteral("v"), RegValue::fromDword(1));
    store.setValue(QStringLiteral("AB"), QStringLiteral("v"), RegValue::fromDword(2));
    EXPECT_TRUE(store.deleteKey(QStringLiteral("a\\b")));
    EXPECT_FALSE(store.keyExists(QStringLiteral("A\\B\\C")));
    EXPECT_FALSE(store.value(QStringLiteral("A\\B\\C"), QStringLiteral("v")).has_value());
    EXPECT_TRUE(store.keyExists(QStringLiteral("A")));
    // A sibling whose name merely begins the same is untouched.
    EXPECT_EQ(store.value(QStringLiteral("AB"), QStringLiteral("v"))->dword, 2u);
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

TEST_F(RegistryStoreTest, UnopenableStoreIsAClearError) {
    // A folder where the file should be cannot be opened as a store.
    QDir(dir.path()).mkdir(QStringLiteral("reg.db"));
    try {
        RegistryStore store(file());
        FAIL() << "opened a folder as a store";
    } catch (const platform::RegistryError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(file()));
    }
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
