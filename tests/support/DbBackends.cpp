#include "tests/support/DbBackends.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"

std::string backendName(const ::testing::TestParamInfo<TestBackend>& info) {
    return info.param == TestBackend::Sqlite ? "SQLite" : "MariaDB";
}

void DbBackendTest::SetUp() {
    StavioTest::SetUp();
    if (mysql()) REQUIRE_MARIADB();
    platform::db::database(connection(), true);
    if (!IsSkipped() && !HasFatalFailure()) prepareDatabase();
}

void DbBackendTest::recreateTable(const QString& name, const QString& columns) {
    exec(QStringLiteral("DROP TABLE IF EXISTS ") + name);
    exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(name, columns));
}

void DbBackendTest::TearDown() {
    platform::db::dropConnection(connection());
    StavioTest::TearDown();
}

QString pmsServerFor(TestBackend backend, const QString& folder) {
    return backend == TestBackend::MariaDb ? testMariaDbServer()
                                           : folder + QStringLiteral("/ptceDB.sqlite");
}

QString DbBackendTest::server() const {
    return pmsServerFor(GetParam(), folder());
}

QString DbBackendTest::connection() const { return PMSConnectionString(server()); }

void execOrFail(QSqlDatabase db, const QString& sql, const QVariantList& values) {
    QSqlQuery q(db);
    ASSERT_TRUE(q.prepare(sql)) << q.lastError().text().toStdString() << " in " << sql.toStdString();
    for (const QVariant& v : values) q.addBindValue(v);
    ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString() << " in " << sql.toStdString();
}

void DbBackendTest::exec(const QString& sql, const QVariantList& values) {
    execOrFail(platform::db::database(connection()), sql, values);
}

QString DbBackendTest::autoKey() const {
    return mysql() ? QStringLiteral("INT AUTO_INCREMENT PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
}

QStringList DbBackendTest::rows(const QString& sql) {
    QStringList result;
    QSqlQuery q(platform::db::database(connection()));
    if (!q.exec(sql)) {
        ADD_FAILURE() << q.lastError().text().toStdString();
        return result;
    }
    while (q.next()) {
        QStringList fields;
        for (int i = 0; i < q.record().count(); ++i)
            fields << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
        result << fields.join(QLatin1Char('|'));
    }
    return result;
}
