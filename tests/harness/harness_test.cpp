// The system under the faults a hotel meets: a day of traffic with the
// service killed at random moments, damaged PMS rows, and a log folder that
// cannot be written. Each ends with the reconciliation audit or the log.
#include <gtest/gtest.h>

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <csignal>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "platform/scm/servicestatus.h"
#include "tests/harness/HarnessFixture.h"

namespace {

constexpr int kRooms = 1000;

class FaultHarness : public HarnessTest {
protected:
    // Starts the service and waits until this process reports it running.
    void start() {
        startService();
        const QString file = path(QStringLiteral("run/OrvantaVoxarenStavio.Stavio.state"));
        ASSERT_TRUE(waitServing([&] {
            const auto s = platform::scm::readStatusFile(file);
            return s && s->state == platform::scm::SERVICE_RUNNING && s->processId == service.processId();
        }, 30000)) << service.readAll().toStdString();
    }
    void expectCleanAudit() {
        QString report;
        EXPECT_EQ(audit(&report), 0) << report.toStdString();
    }
};

TEST_F(FaultHarness, ADayOfTrafficWithTheServiceKilledFiftyTimesEndsWithoutDrift) {
    traffic(kRooms, 40, 1);
    ASSERT_NO_FATAL_FAILURE(start());
    int kills = 0;
    for (quint32 batch = 2; kills < 50; ++batch) {
        traffic(kRooms, 5, batch);
        // Killed in the middle of whatever it is doing (a sweep every 3 s, a
        // check-in taking 2 s and more), and started again.
        for (int k = 0; k < 2 && kills < 50; ++k) {
            pauseServing(std::uniform_int_distribution<int>(2000, 8000)(random));
            ASSERT_TRUE(signalService(SIGKILL));
            ASSERT_TRUE(service.waitForFinished(10000));
            ++kills;
            ASSERT_NO_FATAL_FAILURE(start());
        }
    }
    ASSERT_TRUE(waitUntilQuiet(300000)) << pendingRooms().join(QLatin1Char(' ')).toStdString();
    expectCleanAudit();
    RecordProperty("events_replayed", eventsReplayed());
    RecordProperty("kills_survived", kills);
    std::printf("harness: %d events replayed over %d rooms, %d kills survived\n", eventsReplayed(), kRooms, kills);
}

TEST_F(FaultHarness, DamagedRowsAreReportedOnceEachAndHarmNothingElse) {
    // A gateway table that holds whatever it is given, damaged rows among them.
    const QString pms = PMSConnectionString(pmsServer());
    QSqlDatabase db = platform::db::database(pms);
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("DROP TABLE vmstable")));
    ASSERT_TRUE(q.exec(QStringLiteral(
        "CREATE TABLE vmstable (id INTEGER PRIMARY KEY AUTOINCREMENT, roomno TEXT, otherroomno TEXT, Extension1 TEXT, "
        "Extension2 TEXT, Extension3 TEXT, Extension4 TEXT, Extension5 TEXT, firstname TEXT, lastname TEXT, "
        "Language TEXT, Password TEXT, OccStatus TEXT, upd_by_ptce INT, upd_by_vms INT, UnreadMsgCount INT)")));
    const auto insert = [&](const QVariantList& values) {
        QSqlQuery row(db);
        row.prepare(QStringLiteral("INSERT INTO vmstable (roomno, otherroomno, Extension1, firstname, lastname, Language, "
                                   "OccStatus, upd_by_ptce, upd_by_vms, UnreadMsgCount) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 0, 0)"));
        for (const QVariant& v : values) row.addBindValue(v);
        ASSERT_TRUE(row.exec()) << row.lastError().text().toStdString();
    };
    const QVariant null;
    int bad = 0, served = 0;  // rows that must be reported, rows that must become guests
    for (int i = 0; i < 100; ++i, ++bad) insert({null, null, null, null, null, null, null, null});  // NULL in every column
    for (int i = 0; i < 20; ++i, bad += 2) {  // two rows on one extension
        const QString ext = QString::number(4001 + i);
        insert({ext, QStringLiteral("0"), ext, QStringLiteral("Ann"), QStringLiteral("Lee"), 0, QStringLiteral("1"), 1});
        insert({QString::number(4101 + i), QStringLiteral("0"), ext, QStringLiteral("Bo"), QStringLiteral("Ek"), 0,
                QStringLiteral("1"), 1});
    }
    for (int i = 0; i < 20; ++i, ++bad)  // empty room numbers
        insert({QString(), QStringLiteral("0"), QString(), QStringLiteral("Cy"), QStringLiteral("Ma"), 0, QStringLiteral("1"), 1});
    for (int i = 0; i < 10; ++i, ++bad, ++served)  // names of ten kilobytes
        insert({QString::number(5001 + i), QStringLiteral("0"), QString::number(5001 + i), QStringLiteral("Di"),
                QString(10240, QLatin1Char('N')), 6, QStringLiteral("1"), 1});
    for (int i = 0; i < 10; ++i, ++bad, ++served)  // languages that are no number
        insert({QString::number(5101 + i), QStringLiteral("0"), QString::number(5101 + i), QStringLiteral("Eve"),
                QStringLiteral("Ng"), QStringLiteral("x%1").arg(i), QStringLiteral("1"), 1});
    for (int i = 0; i < 20; ++i, ++served)  // quotes, and SQL in the names
        insert({QString::number(5201 + i), QStringLiteral("0"), QString::number(5201 + i),
                QStringLiteral("x'); DROP TABLE vmstable; --"), QStringLiteral("O'Neil \"%1\"").arg(i), 10,
                QStringLiteral("1"), 1});
    ASSERT_EQ(bad, 180);  // of 200 rows; 20 more only hold quotes

    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitServing([&] { return countInLog(QStringLiteral("New mailbox created for")) >= served; }, 300000))
        << allLogs().right(3000).toStdString();
    const int sweeps = countInLog(QStringLiteral(",SYNC_FINISHED,"));
    ASSERT_TRUE(waitServing([&] { return countInLog(QStringLiteral(",SYNC_FINISHED,")) >= sweeps + 2; }, 60000));

    EXPECT_EQ(service.state(), QProcess::Running);
    QSqlQuery count(platform::db::database(pms));
    ASSERT_TRUE(count.exec(QStringLiteral("SELECT COUNT(*) FROM vmstable")) && count.next());
    EXPECT_EQ(count.value(0).toInt(), 200);  // the SQL in the names stayed text
    QStringList warnings;
    for (const QString& text : eventLogTexts())
        if (text.startsWith(QLatin1String("PMS row ")) || text.startsWith(QLatin1String("The lastname ")) ||
            text.startsWith(QLatin1String("The language ")))
            warnings << text;
    EXPECT_EQ(warnings.size(), bad) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(warnings.removeDuplicates(), 0);  // each names its own row
    EXPECT_EQ(countInLog(QStringLiteral("x'); DROP TABLE vmstable; -- O'Neil")), 20);
    std::printf("harness: 200 malformed rows tried, %d reported once each, %d guests served\n", bad, served);
}

TEST_F(FaultHarness, AnUnwritableLogFolderIsReportedOnceAndTheServiceGoesOn) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitServing([&] { return countInLog(QStringLiteral(",SYNC_FINISHED,")) >= 1; }, 30000));
    // The folder goes, and a file takes its name: nothing can be written there.
    ASSERT_TRUE(QDir(path(QStringLiteral("logs"))).removeRecursively());
    QFile blocker(path(QStringLiteral("logs")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    ASSERT_EQ(ptce({"checkin", "101", "--first", "Ann", "--last", "Lee"}), 0);
    ASSERT_TRUE(waitServing([&] { return pendingRooms().isEmpty(); }, 60000));
    pauseServing(4000);  // another sweep, still without a log
    EXPECT_EQ(service.state(), QProcess::Running);
    const QStringList failures = eventLogTexts().filter(QStringLiteral("in procedure MyDiagnosticLog of Module modLogging"));
    EXPECT_EQ(failures.size(), 1) << eventLogTexts().join(QLatin1Char('\n')).toStdString();
    QString report;
    EXPECT_EQ(audit(&report), 0) << report.toStdString();  // the guest was made all the same
}

}  // namespace
