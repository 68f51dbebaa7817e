#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/com/classregistry.h"
#include "platform/registry.h"
#include "tests/platform/RawConnection.h"
#include "tests/support/PlatformEnv.h"

using namespace platform::com;

namespace {

class ClassRegistryTest : public PlatformEnvTest {
protected:
    void SetUp() override {
        PlatformEnvTest::SetUp();
        takeErrorInfo();
    }
    QString store() const { return env.registryPath(); }

    const ClassRegistration registration{QStringLiteral("Test.Control"),
                                         QStringLiteral("{0D3C1E57-8A2B-4C6D-9E0F-1A2B3C4D5E6F}"),
                                         QStringLiteral("/opt/test/libcontrol.so"), QStringLiteral("createControl")};
};

TEST_F(ClassRegistryTest, ARegistrationWhoseWriteDidNotHappenFails) {
    platform::machineRegistry().createKey(QStringLiteral("SOFTWARE\\Classes"));
    // Something in the store quietly drops new keys.
    RawConnection(store()).exec("CREATE TRIGGER swallow BEFORE INSERT ON reg_keys BEGIN SELECT RAISE(IGNORE); END");
    EXPECT_TRUE(failed(registerClass(registration)));
    EXPECT_TRUE(takeErrorInfo().contains(QStringLiteral("CLSID was not written")));
    EXPECT_EQ(classIdFromProgId(registration.progId, nullptr), CO_E_CLASSSTRING);
}

TEST_F(ClassRegistryTest, ADamagedStoreIsReportedNotTakenForAnUnknownProgId) {
    ASSERT_EQ(registerClass(registration), S_OK);
    QString classId;
    ASSERT_EQ(classIdFromProgId(registration.progId, &classId), S_OK);
    EXPECT_EQ(classId, registration.classId);

    RawConnection(store()).exec("DROP TABLE reg_values");
    EXPECT_TRUE(failed(classIdFromProgId(registration.progId, &classId)));
    EXPECT_TRUE(resultText(CO_E_CLASSSTRING).contains(QStringLiteral("no such table: reg_values")));

    const CreatedService created = createService(registration.progId);
    EXPECT_EQ(created.status.code, REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(created.status.error.contains(QStringLiteral("the store is damaged")))
        << created.status.error.toStdString();
    EXPECT_FALSE(created.service);
}

}  // namespace
