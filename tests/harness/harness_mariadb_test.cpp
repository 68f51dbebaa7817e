// A day of traffic on a MariaDB PMS database that goes away for several
// synchronisation cycles in the middle: the service reports the outage and
// catches up when the database is back.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSqlQuery>
#include <csignal>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "platform/scm/servicestatus.h"
#include "tests/harness/HarnessFixture.h"
#include "tests/support/MariaDb.h"

namespace {

// scripts/mariadb.sh on the test server's folder; "" when it worked.
QString mariadb(const char* command) {
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral(STAVIO_SOURCE_DIR "/scripts/mariadb.sh"), {QLatin1String(command), testMariaDbFolder()});
    if (!script.waitForFinished(60000)) return QStringLiteral("scripts/mariadb.sh did not finish");
    return script.exitCode() == 0 ? QString() : QString::fromUtf8(script.readAll());
}

class OutageHarness : public HarnessTest {};

TEST_F(OutageHarness, APmsDatabaseAwayForSeveralCyclesIsCaughtUpWithoutDrift) {
    REQUIRE_RESTARTABLE_MARIADB();
    usePmsServer(testMariaDbServer());
    QSqlQuery drop(platform::db::database(PMSConnectionString(testMariaDbServer())));
    ASSERT_TRUE(drop.exec(QStringLiteral("DROP TABLE IF EXISTS vmstable")));
    platform::db::dropThreadConnections();
    traffic(1000, 12, 11);
    startService();
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    traffic(1000, 6, 12);

    ASSERT_TRUE(mariadb("stop").isEmpty());
    pauseServing(10000);  // three synchronisation cycles and more
    ASSERT_TRUE(mariadb("restart").isEmpty());
    traffic(1000, 12, 13);

    ASSERT_TRUE(waitUntilQuiet(300000)) << pendingRooms().join(QLatin1Char(' ')).toStdString();
    EXPECT_GE(countInLog(QStringLiteral("Attempt to open remote PMS database failed during DB sync attempt.  Aborting sync.")), 2);
    QString report;
    EXPECT_EQ(audit(&report), 0) << report.toStdString();
    std::printf("harness: %d events replayed on MariaDB with a 10 s outage\n", eventsReplayed());
}

}  // namespace
