#pragma once
// A platform-level environment for the platform's own tests: a private
// registry store in the test's folder, installed for the test's length.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>

#include "platform/env.h"

class PlatformEnvTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        env.setRegistryPath(dir.filePath(QStringLiteral("registry.db")));
        m_installed.emplace(env);
    }
    void TearDown() override { m_installed.reset(); }

    QTemporaryDir dir;
    platform::Env env;

private:
    std::optional<platform::ScopedEnv> m_installed;
};
