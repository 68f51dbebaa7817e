#pragma once
// The throwaway MariaDB server that scripts/test.sh starts, as the setting
// "Precipia Server Name" would name it (host:port). Without it a test skips,
// except under CI=true, where a missing server is a failure.
#include <gtest/gtest.h>

#include <QString>

inline QString testMariaDbServer() { return qEnvironmentVariable("STAVIO_TEST_MYSQL"); }

// The server's data folder (STAVIO_TEST_MYSQL_DIR), for tests that restart it.
inline QString testMariaDbFolder() { return qEnvironmentVariable("STAVIO_TEST_MYSQL_DIR"); }

// Stops the test server and starts it again on the same port with the same
// data (scripts/mariadb.sh restart). Returns "" on success, else what went
// wrong. Only tests that hold the ctest resource lock "mariadb" may call it.
QString restartTestMariaDb();

#define REQUIRE_MARIADB_NAMED(present, what)                                               \
    do {                                                                                   \
        if (!(present)) {                                                                  \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                       \
                FAIL() << what " is not set: the MariaDB server is missing";               \
            GTEST_SKIP() << "no MariaDB server (run through scripts/test.sh)";             \
        }                                                                                  \
    } while (0)

#define REQUIRE_MARIADB() REQUIRE_MARIADB_NAMED(!testMariaDbServer().isEmpty(), "STAVIO_TEST_MYSQL")

// A server this test may restart: its address and its data folder.
#define REQUIRE_RESTARTABLE_MARIADB()                                                               \
    do {                                                                                            \
        REQUIRE_MARIADB();                                                                          \
        REQUIRE_MARIADB_NAMED(!testMariaDbFolder().isEmpty(), "STAVIO_TEST_MYSQL_DIR");             \
    } while (0)
