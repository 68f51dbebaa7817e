// stavioctl status, check and log: the service's state file, its diagnostic
// log and its last sweep, the servers' reachability, the monitor's check,
// and a log followed as the service writes it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <tuple>

#include "platform/registry.h"
#include "platform/scm/serviceinstaller.h"
#include "tests/ctl/CtlFixture.h"

namespace {

class CtlStatusTest : public CtlTest {
protected:
    void SetUp() override {
        CtlTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("run"))));
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("logs"))));
        const QString service = platform::scm::serviceKey(QStringLiteral("OrvantaVoxarenStavio"));
        platform::machineRegistry().createKey(service);
        platform::machineRegistry().setValue(service, QStringLiteral("ImagePath"),
            platform::RegValue::sz(QStringLiteral("\"/opt/stavio/Vesselrun\" progid=OrvantaVoxarenStavio.Stavio")));
        logFile = path(QStringLiteral("logs/VoxarenStavio_Log_20260301_00_00_01.TXT"));
        storeText("CurrentLogFile", logFile);
    }
    void writeState(int state, qint64 pid) {
        QFile file(path(QStringLiteral("run/OrvantaVoxarenStavio.Stavio.state")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("STATE=%1\nCONTROLS=5\nEXIT_CODE=0\nPID=%2\n").arg(state).arg(pid).toUtf8());
    }
    // The status as JSON; the exit status is the one a monitor reads.
    QJsonObject status(int exitStatus) {
        const ProgramResult r = ctl({QStringLiteral("status"), QStringLiteral("--json")},
                                    {QStringLiteral("VESSELRUN_STATE_DIR=") + path(QStringLiteral("run"))});
        EXPECT_EQ(r.exitCode, exitStatus) << r.err.toStdString();
        EXPECT_EQ(r.out.count(QLatin1Char('\n')), 1);  // one object on one line
        QJsonParseError parsed;
        const QJsonDocument document = QJsonDocument::fromJson(r.out.toUtf8(), &parsed);
        EXPECT_EQ(parsed.error, QJsonParseError::NoError) << r.out.toStdString();
        return document.object();
    }
    static QJsonObject part(const QJsonObject& status, const char* key) { return status[QLatin1String(key)].toObject(); }

    QString logFile;
};

TEST_F(CtlStatusTest, StatusReportsTheRunningServiceItsLastSweepAndTheServers) {
    writeState(4, QCoreApplication::applicationPid());  // this test stands in for the running host
    writeLog(logFile, {QStringLiteral("Header of the log"),
                       QStringLiteral("3/1/2026 9:00:00 AM,1011,SYNC_START,,,Starting sweep for updates in local and remote PMS database."),
                       QStringLiteral("3/1/2026 9:00:01 AM,1003,CHECK_IN,301,,New mailbox created for Old Guest"),
                       QStringLiteral("3/1/2026 9:00:02 AM,1012,SYNC_FINISHED,,,Syncronization sweep complete"),
                       QStringLiteral("3/1/2026 9:01:00 AM,1011,SYNC_START,,,Starting sweep for updates in local and remote PMS database."),
                       QStringLiteral("3/1/2026 9:01:01 AM,1003,CHECK_IN,101,,New mailbox created for Ann Lee"),
                       QStringLiteral("3/1/2026 9:01:02 AM,1003,CHECK_IN,102,,New mailbox created for Bob Roe"),
                       QStringLiteral("3/1/2026 9:01:03 AM,1005,ROOM_MOVE,102,105,Guest moved"),
                       QStringLiteral("3/1/2026 9:01:04 AM,4,ERROR,,,(error): 5 (Invalid call) in procedure X of Module Y"),
                       QStringLiteral("3/1/2026 9:01:05 AM,1012,SYNC_FINISHED,,,Syncronization sweep complete"),
                       QStringLiteral("3/1/2026 9:02:00 AM,1004,CHECK_OUT,101,,Between sweeps: not the sweep's")});
    const QString pms = path(QStringLiteral("ptce.sqlite"));
    ASSERT_EQ(runProgram(QStringLiteral("ptce-sim"), {QStringLiteral("--server"), pms, QStringLiteral("init")}).exitCode, 0);
    storeText("Precipia Server Name", pms);

    const QJsonObject s = status(0);  // running
    const QJsonObject service = part(s, "service");
    EXPECT_EQ(service[QStringLiteral("state")].toString(), QStringLiteral("running"));
    EXPECT_EQ(service[QStringLiteral("stateCode")].toInt(), 4);
    EXPECT_EQ(qint64(service[QStringLiteral("pid")].toDouble()), QCoreApplication::applicationPid());
    EXPECT_TRUE(service[QStringLiteral("installed")].toBool());
    EXPECT_EQ(part(s, "log")[QStringLiteral("currentFile")].toString(), logFile);
    EXPECT_TRUE(part(s, "log")[QStringLiteral("exists")].toBool());
    const QJsonObject sweep = part(s, "lastSweep");
    EXPECT_EQ(sweep[QStringLiteral("start")].toString(), QStringLiteral("3/1/2026 9:01:00 AM"));
    EXPECT_EQ(sweep[QStringLiteral("end")].toString(), QStringLiteral("3/1/2026 9:01:05 AM"));
    EXPECT_TRUE(sweep[QStringLiteral("finished")].toBool());
    EXPECT_EQ(sweep[QStringLiteral("checkIns")].toInt(), 2);
    EXPECT_EQ(sweep[QStringLiteral("checkOuts")].toInt(), 0);
    EXPECT_EQ(sweep[QStringLiteral("moves")].toInt(), 1);
    EXPECT_EQ(sweep[QStringLiteral("swaps")].toInt(), 0);
    EXPECT_EQ(sweep[QStringLiteral("errors")].toInt(), 1);
    EXPECT_TRUE(part(s, "pms")[QStringLiteral("reachable")].toBool());
    EXPECT_EQ(part(s, "pms")[QStringLiteral("server")].toString(), pms);
    EXPECT_TRUE(part(s, "voiceServer")[QStringLiteral("reachable")].toBool());
    EXPECT_FALSE(part(s, "voiceServer")[QStringLiteral("remote")].toBool());
}

TEST_F(CtlStatusTest, AKilledHostIsStoppedASweepWithoutEndIsRunningAMissingPmsIsUnreachable) {
    QProcess ended;
    ended.start(QStringLiteral("/bin/true"));
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 pid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    writeState(4, pid);  // written as running by a host that is gone
    writeLog(logFile, {QStringLiteral("3/1/2026 9:01:00 AM,1011,SYNC_START,,,Starting sweep"),
                       QStringLiteral("3/1/2026 9:01:01 AM,1004,CHECK_OUT,101,,Guest checked out")});
    storeText("Precipia Server Name", path(QStringLiteral("no-such-pms.sqlite")));

    const QJsonObject s = status(3);  // not running
    EXPECT_EQ(part(s, "service")[QStringLiteral("state")].toString(), QStringLiteral("stopped"));
    EXPECT_TRUE(part(s, "service")[QStringLiteral("pid")].isNull());
    const QJsonObject sweep = part(s, "lastSweep");
    EXPECT_FALSE(sweep[QStringLiteral("finished")].toBool());
    EXPECT_TRUE(sweep[QStringLiteral("end")].isNull());
    EXPECT_EQ(sweep[QStringLiteral("checkOuts")].toInt(), 1);
    EXPECT_FALSE(part(s, "pms")[QStringLiteral("reachable")].toBool());
    EXPECT_FALSE(part(s, "pms")[QStringLiteral("problem")].toString().isEmpty());
}

TEST_F(CtlStatusTest, NotInstalledIsFourAndADamagedStoreAnErrorNamingTheDamage) {
    platform::machineRegistry().deleteKey(platform::scm::serviceKey(QStringLiteral("OrvantaVoxarenStavio")));
    EXPECT_EQ(part(status(4), "service")[QStringLiteral("state")].toString(), QStringLiteral("not installed"));

    // Another store, damaged: no answer that looks valid, in either form.
    const QString damaged = path(QStringLiteral("damaged.db"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    // Every command that reads the store says so: status with "unknown", the
    // audit with "could not read", the rest as refused.
    const std::vector<std::pair<QStringList, int>> commands{
        {{QStringLiteral("status")}, 4},          {{QStringLiteral("status"), QStringLiteral("--json")}, 4},
        {{QStringLiteral("audit"), QStringLiteral("--json")}, 3},
        {{QStringLiteral("guests"), QStringLiteral("--json")}, 1},
        {{QStringLiteral("settings"), QStringLiteral("show"), QStringLiteral("--json")}, 1},
        {{QStringLiteral("log")}, 1},             {{QStringLiteral("lamps"), QStringLiteral("resync")}, 1},
        {{QStringLiteral("report"), QStringLiteral("archived"), QStringLiteral("--from"), QStringLiteral("2026-03-01"),
          QStringLiteral("--to"), QStringLiteral("2026-03-02")}, 1}};
    for (const auto& [command, exitCode] : commands) {
        const ProgramResult r = ctl(command, {QStringLiteral("STAVIO_REGISTRY=") + damaged});
        EXPECT_EQ(r.exitCode, exitCode) << command.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.out, QString());
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("stavioctl: "))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("not a database"))) << r.err.toStdString();
    }
    // The check says it on its status line, for the monitor.
    const ProgramResult check = ctl({QStringLiteral("check")}, {QStringLiteral("STAVIO_REGISTRY=") + damaged});
    EXPECT_EQ(check.exitCode, 3);
    EXPECT_TRUE(check.out.startsWith(QStringLiteral("STAVIO UNKNOWN - ")) && check.out.contains(QStringLiteral("not a database")))
        << check.out.toStdString();
}

// stavioctl check: the status line a monitor reads and its exit status.
class CtlCheckTest : public CtlStatusTest {
protected:
    void SetUp() override {
        CtlStatusTest::SetUp();
        writeState(4, QCoreApplication::applicationPid());  // this test stands in for the running host
        sweepFinished(5);
        const QString pms = path(QStringLiteral("ptce.sqlite"));
        ASSERT_EQ(runProgram(QStringLiteral("ptce-sim"), {QStringLiteral("--server"), pms, QStringLiteral("init"),
                                                          QStringLiteral("--rooms"), QStringLiteral("101-103")})
                      .exitCode,
                  0);
        storeText("Precipia Server Name", pms);
    }
    // A log whose last sweep finished that many seconds ago (the log's times are UTC here).
    void sweepFinished(int secondsAgo) {
        const QString end = QDateTime::currentDateTimeUtc().addSecs(-secondsAgo).toString(QStringLiteral("M/d/yyyy h:mm:ss AP"));
        writeLog(logFile, {end + QStringLiteral(",1011,SYNC_START,,,Starting sweep"),
                           end + QStringLiteral(",1012,SYNC_FINISHED,,,Syncronization sweep complete")});
    }
    // The status line and its performance data, after checking the exit status.
    std::pair<QString, QString> check(int exitStatus, const QStringList& options = {}) {
        const ProgramResult r = ctl(QStringList{QStringLiteral("check")} + options,
                                    {QStringLiteral("VESSELRUN_STATE_DIR=") + path(QStringLiteral("run"))});
        EXPECT_EQ(r.exitCode, exitStatus) << r.out.toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out.count(QLatin1Char('\n')), 1) << r.out.toStdString();
        return {r.out.section(QStringLiteral(" | "), 0, 0).trimmed(), r.out.section(QStringLiteral(" | "), 1).trimmed()};
    }
};

TEST_F(CtlCheckTest, ARunningServiceWithAFreshSweepAndNoDriftIsOk) {
    auto [line, perf] = check(0);
    EXPECT_TRUE(line.startsWith(QStringLiteral("STAVIO OK - service running, last sweep "))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral(", 0 guest mailboxes, 3 rooms, no drift"))) << line.toStdString();
    for (const char* data : {"service_running=1;;;0;1", "pms_reachable=1;;;0;1", "server_reachable=1;;;0;1",
                             "drift=0;1;10;0", "log_writable=1;;;0;1", "guests=0;;;0", "rooms=3;;;0"})
        EXPECT_TRUE(perf.split(QLatin1Char(' ')).contains(QLatin1String(data))) << data << " in " << perf.toStdString();

    // The sweep's age against the thresholds given.
    sweepFinished(100);
    std::tie(line, perf) = check(1, {QStringLiteral("--sweep-warning"), QStringLiteral("60"),
                                     QStringLiteral("--sweep-critical"), QStringLiteral("600")});
    EXPECT_TRUE(line.startsWith(QStringLiteral("STAVIO WARNING - last sweep 10"))) << line.toStdString();
    EXPECT_TRUE(perf.contains(QRegularExpression(QStringLiteral("sweep_age=10\\ds;60;600;0")))) << perf.toStdString();
    EXPECT_EQ(check(2, {QStringLiteral("--sweep-warning"), QStringLiteral("30"), QStringLiteral("--sweep-critical"),
                        QStringLiteral("60")}).first.left(16), QStringLiteral("STAVIO CRITICAL "));
    // A threshold it cannot use is UNKNOWN to the monitor, not CRITICAL.
    EXPECT_EQ(check(3, {QStringLiteral("--drift-warning"), QStringLiteral("many")}).first,
              QStringLiteral("STAVIO UNKNOWN - --drift-warning takes a whole number, not 'many'"));
}

TEST_F(CtlCheckTest, AStoppedServiceOrAnUnreachablePmsIsCritical) {
    writeState(1, 0);
    EXPECT_EQ(check(2).first, QStringLiteral("STAVIO CRITICAL - service stopped"));

    writeState(4, QCoreApplication::applicationPid());
    storeText("Precipia Server Name", path(QStringLiteral("no-such-pms.sqlite")));
    const auto [line, perf] = check(2);
    // With the driver's reason.
    EXPECT_TRUE(line.startsWith(QStringLiteral("STAVIO CRITICAL - PMS database not reachable: ")) && line.contains(QStringLiteral("no-such-pms.sqlite")))
        << line.toStdString();
    EXPECT_TRUE(perf.contains(QStringLiteral("pms_reachable=0;;;0;1 server_reachable=1;;;0;1 drift=U;1;10;0")))
        << perf.toStdString();
}

TEST_F(CtlCheckTest, ADriftedHotelWarnsOrIsCriticalByTheThresholds) {
    createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));  // a mailbox for a vacant room
    auto [line, perf] = check(1);
    EXPECT_EQ(line, QStringLiteral("STAVIO WARNING - 1 drifted rooms (see stavioctl audit)"));
    EXPECT_TRUE(perf.contains(QStringLiteral("drift=1;1;10;0 guests=1;;;0 rooms=3;;;0"))) << perf.toStdString();
    EXPECT_EQ(check(2, {QStringLiteral("--drift-critical"), QStringLiteral("1")}).first,
              QStringLiteral("STAVIO CRITICAL - 1 drifted rooms (see stavioctl audit)"));
}

TEST_F(CtlStatusTest, LogPrintsTheCurrentLogAndFollowsItIntoTheNextFile) {
    writeLog(logFile, {QStringLiteral("first line")});
    const ProgramResult whole = ctl({QStringLiteral("log")});
    EXPECT_EQ(whole.exitCode, 0);
    EXPECT_EQ(whole.out, QStringLiteral("first line\n"));

    std::unique_ptr<QProcess> follow = startCtl({QStringLiteral("log"), QStringLiteral("--follow")});
    ASSERT_TRUE(follow->waitForStarted());
    QString seen;
    const auto shows = [&](const QString& text) {
        return waitUntil([&] {
            follow->waitForReadyRead(50);
            seen += QString::fromUtf8(follow->readAllStandardOutput());
            return seen.contains(text);
        });
    };
    EXPECT_TRUE(shows(QStringLiteral("first line\n"))) << seen.toStdString();
    // Another process appends, as the service does.
    std::unique_ptr<QProcess> writer(startShell(QStringLiteral("printf 'second line\\r\\n' >> '%1'").arg(logFile)));
    ASSERT_TRUE(writer->waitForFinished());
    EXPECT_TRUE(shows(QStringLiteral("second line\n"))) << seen.toStdString();
    // The next day's file: the service names it in CurrentLogFile.
    const QString next = path(QStringLiteral("logs/VoxarenStavio_Log_20260302_00_00_01.TXT"));
    writeLog(next, {QStringLiteral("next day")});
    {
        // The old file's last lines, written just before the switch, come first.
        QFile old(logFile);
        ASSERT_TRUE(old.open(QIODevice::Append));
        old.write("last of the old file\r\n");
    }
    storeText("CurrentLogFile", next);
    EXPECT_TRUE(shows(QStringLiteral("next day\n"))) << seen.toStdString();
    EXPECT_EQ(seen, QStringLiteral("first line\nsecond line\nlast of the old file\nnext day\n"));

    ASSERT_GT(follow->processId(), 0);
    follow->kill();
    follow->waitForFinished();

    storeText("CurrentLogFile", QString());
    EXPECT_EQ(ctl({QStringLiteral("log")}).exitCode, 1);
}

}  // namespace

namespace {

// The audit through stavioctl: the audit's own report and exit statuses.
TEST_F(CtlTest, AuditComparesThePmsTableWithTheServer) {
    const QString pms = path(QStringLiteral("ptce.sqlite"));
    ASSERT_EQ(runProgram(QStringLiteral("ptce-sim"), {QStringLiteral("--server"), pms, QStringLiteral("init"),
                                                      QStringLiteral("--rooms"), QStringLiteral("101-102")})
                  .exitCode,
              0);
    storeText("Precipia Server Name", pms);
    ProgramResult r = ctl({QStringLiteral("audit"), QStringLiteral("--csv")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();

    // A mailbox on the server for a room the PMS has vacant is drift.
    createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
    r = ctl({QStringLiteral("audit"), QStringLiteral("--csv")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\r\n101,"))) << r.out.toStdString();

    r = ctl({QStringLiteral("audit"), QStringLiteral("--pms"), path(QStringLiteral("none/ptce.sqlite"))});
    EXPECT_EQ(r.exitCode, 3) << r.out.toStdString();  // a side could not be read
    EXPECT_EQ(ctl({QStringLiteral("audit"), QStringLiteral("--pms")}).exitCode, 2);  // no server: bad usage
}

}  // namespace
