#pragma once
// The throwaway MariaDB server that scripts/test.sh starts, as the setting
// "Precipia Server Name" would name it (host:port). Without it a test skips,
// except under CI=true, where a missing server is a failure.
#include <gtest/gtest.h>

#include <QString>

inline QString testMariaDbServer() { return qEnvironmentVariable("STAVIO_TEST_MYSQL"); }

#define REQUIRE_MARIADB()                                                                  \
    do {                                                                                   \
        if (testMariaDbServer().isEmpty()) {                                               \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                       \
                FAIL() << "STAVIO_TEST_MYSQL is not set: the MariaDB server is missing";   \
            GTEST_SKIP() << "no MariaDB server (run through scripts/test.sh)";             \
        }                                                                                  \
    } while (0)
