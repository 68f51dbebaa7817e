// Whether another account may make files in a folder, as the kernel decides.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/account.h"

namespace {

using platform::Account;
using platform::mayWriteIn;

// A folder that the test user owns and whose mode each case sets; an account
// of another uid, in the folder's group or not.
class AccountTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Every account may pass through the test's own folder.
        ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                          QFile::ExeGroup | QFile::ExeOther));
        logs = dir.filePath(QStringLiteral("logs"));
        ASSERT_TRUE(QDir().mkdir(logs));
    }
    void setMode(const QString& folder, QFile::Permissions p) { ASSERT_TRUE(QFile::setPermissions(folder, p)); }
    static constexpr uid_t kOther = 4242;
    const Account inGroup{QStringLiteral("in-group"), kOther, {gid_t(4243), ::getegid()}};
    const Account outside{QStringLiteral("outside"), kOther, {gid_t(4243)}};
    QTemporaryDir dir;
    QString logs;
};

TEST_F(AccountTest, TheGroupOrOtherBitsDecideForAnotherAccount) {
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    setMode(logs, all | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup);
    EXPECT_TRUE(mayWriteIn(inGroup, logs));
    EXPECT_FALSE(mayWriteIn(outside, logs));
    setMode(logs, all | QFile::ReadGroup | QFile::ExeGroup);  // the group reads only
    EXPECT_FALSE(mayWriteIn(inGroup, logs));
    setMode(logs, all | QFile::WriteOther | QFile::ExeOther);
    EXPECT_TRUE(mayWriteIn(outside, logs));
    EXPECT_FALSE(mayWriteIn(inGroup, logs));  // the group's bits hold for a member, not the other bits
    // Write without search makes no file.
    setMode(logs, all | QFile::WriteGroup);
    EXPECT_FALSE(mayWriteIn(inGroup, logs));
}

TEST_F(AccountTest, EveryFolderAboveMustLetTheAccountPass) {
    setMode(logs, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::WriteOther | QFile::ExeOther);
    EXPECT_TRUE(mayWriteIn(outside, logs));
    setMode(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(mayWriteIn(outside, logs));
    EXPECT_FALSE(mayWriteIn(outside, logs + QStringLiteral("/missing")));
}

TEST(Accounts, AnAccountIsFoundWithItsGroupsAndAMissingOneIsNot) {
    const std::optional<Account> root = platform::findAccount(QStringLiteral("root"));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->uid, 0u);
    ASSERT_FALSE(root->groups.empty());
    EXPECT_EQ(root->groups.front(), 0u);
    EXPECT_FALSE(platform::findAccount(QStringLiteral("stavio-no-such-account")));
}

}  // namespace
