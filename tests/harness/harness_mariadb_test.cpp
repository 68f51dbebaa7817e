// A day of traffic on a MariaDB PMS database that goes away for several
// synchronisation cycles in the middle: the service reports the outage and
// catches up when the database is back.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <csignal>
#include <sys/types.h>

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

// The test server's process, from its pid file, once /proc shows that it is
// that server (a mariadbd on the test folder); 0 if not.
pid_t testMariaDbProcess() {
    const QString folder = testMariaDbFolder();
    QFile pidFile(folder + QStringLiteral("/pid"));
    if (!pidFile.open(QIODevice::ReadOnly)) return 0;
    const pid_t pid = pid_t(pidFile.readAll().trimmed().toLongLong());
    if (pid <= 1) return 0;
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly)) return 0;
    const QByteArray command = cmdline.readAll();
    return command.contains("mariadbd") && command.contains(QFile::encodeName(folder)) ? pid : 0;
}

class OutageHarness : public HarnessTest {
protected:
    // The service's PMS is the test MariaDB server, without a room table yet.
    void useEmptyMariaDbPms() {
        usePmsServer(testMariaDbServer());
        QSqlQuery drop(platform::db::database(PMSConnectionString(testMariaDbServer())));
        ASSERT_TRUE(drop.exec(QStringLiteral("DROP TABLE IF EXISTS vmstable")));
        platform::db::dropThreadConnections();
    }
};

TEST_F(OutageHarness, APmsDatabaseAwayForSeveralCyclesIsCaughtUpWithoutDrift) {
    REQUIRE_RESTARTABLE_MARIADB();
    ASSERT_NO_FATAL_FAILURE(useEmptyMariaDbPms());
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

// A server that stops answering (frozen, not gone: no error, no closed
// link) in the middle of a sweep holds the service in a read until the
// link's read time-out; a stop must still end within seconds.
TEST_F(OutageHarness, AStopWhileThePmsServerHangsEndsWithinSeconds) {
    REQUIRE_RESTARTABLE_MARIADB();
    ASSERT_NO_FATAL_FAILURE(useEmptyMariaDbPms());
    traffic(1000, 600, 21);  // hundreds of rooms for the first sweep
    const pid_t server = testMariaDbProcess();
    ASSERT_GT(server, 0) << "no MariaDB test server process in " << testMariaDbFolder().toStdString();
    startService();
    ASSERT_TRUE(waitForLogLine({QStringLiteral("UpdatedByPTCE flag cleared")}, 30000));

    ASSERT_EQ(::kill(server, SIGSTOP), 0);
    struct Thaw {
        pid_t pid;
        ~Thaw() { ::kill(pid, SIGCONT); }
    } thaw{server};
    pauseServing(500);  // the sweep is at its next statement, waiting on the server
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(signalService(SIGTERM));
    EXPECT_TRUE(waitForExit(90000));
    EXPECT_LT(took.elapsed(), 8000);
}

}  // namespace
