// The system under the faults a hotel meets: a day of traffic with the
// service killed at random moments, damaged PMS rows, and a log folder that
// cannot be written. Each ends with the reconciliation audit or the log.
#include <gtest/gtest.h>

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
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

    void expectEachGuestInItsOwnMailbox() {
        const QStringList faults = ownershipFaults();
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    }
    // A guest action the gateway asks for now, and the steps of it (as the
    // debug lines name them) after one of which the service is killed.
    struct Aim {
        QStringList gateway;
        QStringList steps;
    };
    Aim aimAt(int n) {
        QList<QPair<QString, QString>> occupied = occupiedRooms();
        std::shuffle(occupied.begin(), occupied.end(), random);
        QStringList vacant;
        for (int room = 1001; room <= 1000 + kRooms; ++room) vacant << QString::number(room);
        for (const auto& room : occupied) vacant.removeOne(room.first);
        const QString a = occupied.value(0).first, b = occupied.value(1).first;
        const QString v = vacant.value(std::uniform_int_distribution<int>(0, int(vacant.size()) - 1)(random));
        const auto line = [](const char* event, const QString& primary, const QString& secondary, const char* text) {
            return QStringLiteral(",%1,%2,%3,%4").arg(QLatin1String(event), primary, secondary, QLatin1String(text));
        };
        switch (n % 4) {
            case 0: {
                const char* steps[] = {"Alternate extensions removed for subscriber 1", "Primary extension removed for subscriber 1",
                                       "Primary extension removed for subscriber 2",
                                       "Call to directory sync done for subscriber 1, waiting for sync to complete",
                                       "Calling sp_ModifySubscriber for subscriber 2", "Lamp resynch complete"};
                const char* step = steps[(n / 4) % std::size(steps)];
                // The swap's first room is whichever row of the two the sweep meets first.
                return {{"swap", a, b}, {line("ROOM_SWAP_DEBUG", a, b, step), line("ROOM_SWAP_DEBUG", b, a, step),
                                         line("ROOM_SWAP", a, b, "Room swap completed"), line("ROOM_SWAP", b, a, "Room swap completed")}};
            }
            case 1: {
                const char* steps[] = {"MWI Cleared for old room", "Alternate extensions removed",
                                       "Call to directory sync done, waiting for sync to complete", "Call to directory sync finished"};
                const QString step = (n / 4) % 5 == 4 ? line("ROOM_MOVE", a, v, "Room move completed")
                                                      : line("ROOM_MOVE_DEBUG", a, v, steps[(n / 4) % 5]);
                return {{"move", a, v}, {step}};
            }
            case 2: {
                const char* steps[] = {"Calling sp_CreateSubscriber", "Call to sp_CreateSubscriber complete, editing record in SQL.",
                                       "Calling sp_ModifySubscriber", "Directory sync complete", "Contact rule update forced"};
                return {{"checkin", v, "--first", "Kai", "--last", "Oda", "--ext2", QStringLiteral("9") + v},
                        {line("CHECK_IN_DEBUG", v, QString(), steps[(n / 4) % std::size(steps)])}};
            }
            default: {
                const char* steps[] = {"MWI forced off for the room", "New primary extension=", "Alternate extensions removed",
                                       "Call to directory sync done, waiting for sync to complete", "Directory sync complete"};
                return {{"checkout", a}, {line("CHECK_OUT_DEBUG", a, QString(), steps[(n / 4) % std::size(steps)])}};
            }
        }
    }
    void killAndRestart() {
        ASSERT_TRUE(signalService(SIGKILL));
        ASSERT_TRUE(service.waitForFinished(10000));
        ASSERT_NO_FATAL_FAILURE(start());
    }
};

// Half the kills land at random moments, half right after a chosen step of
// a swap, move, check-in or check-out. Every guest's PMS row carries a token
// of its own, and its mailbox a message naming it: at the end each occupied
// room's mailbox holds its own guest's message and no other.
TEST_F(FaultHarness, ADayOfTrafficWithTheServiceKilledFiftyTimesEndsWithoutDrift) {
    traffic(kRooms, 40, 1);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitUntilQuiet(300000)) << pendingRooms().join(QLatin1Char(' ')).toStdString();
    ASSERT_NO_FATAL_FAILURE(markGuests());
    int kills = 0, aimed = 0;
    for (quint32 batch = 2; kills < 50; ++batch) {
        traffic(kRooms, 5, batch);
        for (int k = 0; k < 2 && kills < 50; ++k, ++kills) {
            if (kills % 2 == 0) {
                // In the middle of whatever it is doing (a sweep every 3 s, a
                // check-in taking 2 s and more).
                pauseServing(std::uniform_int_distribution<int>(2000, 8000)(random));
            } else {
                const Aim aim = aimAt(kills / 2);
                ASSERT_EQ(ptce(aim.gateway), 0) << aim.gateway.join(QLatin1Char(' ')).toStdString();
                if (waitForLogLine(aim.steps, 30000)) ++aimed;
            }
            ASSERT_NO_FATAL_FAILURE(killAndRestart());
        }
        if (kills % 16 == 0) {
            ASSERT_TRUE(waitUntilQuiet(300000)) << pendingRooms().join(QLatin1Char(' ')).toStdString();
            expectEachGuestInItsOwnMailbox();
            ASSERT_NO_FATAL_FAILURE(markGuests());
        }
    }
    ASSERT_TRUE(waitUntilQuiet(300000)) << pendingRooms().join(QLatin1Char(' ')).toStdString();
    expectCleanAudit();
    expectEachGuestInItsOwnMailbox();
    EXPECT_GE(aimed, 20);  // most aimed kills found their step
    RecordProperty("events_replayed", eventsReplayed());
    RecordProperty("kills_survived", kills);
    std::printf("harness: %d events replayed over %d rooms, %d kills survived (%d inside a guest action)\n",
                eventsReplayed(), kRooms, kills, aimed);
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
