#pragma once
// Running the same database cases on SQLite and on the test MariaDB server.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "tests/support/MariaDb.h"
#include "tests/support/TestEnvironment.h"

enum class TestBackend { Sqlite, MariaDb };

// Runs a statement with its bound values, failing the test on an error.
void execOrFail(QSqlDatabase db, const QString& sql, const QVariantList& values = {});

std::string backendName(const ::testing::TestParamInfo<TestBackend>& info);

// What the setting "Precipia Server Name" holds for the backend: the test
// MariaDB server, or ptceDB.sqlite in the test's folder.
QString pmsServerFor(TestBackend backend, const QString& folder);

class DbBackendTest : public StavioTest, public ::testing::WithParamInterface<TestBackend> {
protected:
    // Opens the backend's database, then lets the case prepare it (prepareDatabase).
    void SetUp() override;
    void TearDown() override;
    // The case's tables and rows, made once the database is open; not for a skipped case.
    virtual void prepareDatabase() {}
    // Drops the table if it is there and creates it anew from its column definitions.
    void recreateTable(const QString& name, const QString& columns);

    // What the setting "Precipia Server Name" would hold for this backend.
    QString server() const;
    // The PMS connection string for this backend.
    QString connection() const;
    bool mysql() const { return GetParam() == TestBackend::MariaDb; }
    // Runs statements on the test database, failing the test on error.
    void exec(const QString& sql, const QVariantList& values = {});
    // "INTEGER PRIMARY KEY AUTOINCREMENT" or its MariaDB form.
    QString autoKey() const;
    // One column of a table as text lines "a|b|..." ordered by `order`.
    QStringList rows(const QString& sql);
};

#define INSTANTIATE_ON_BOTH_BACKENDS(suite) \
    INSTANTIATE_TEST_SUITE_P(Backends, suite, ::testing::Values(TestBackend::Sqlite, TestBackend::MariaDb), backendName)
