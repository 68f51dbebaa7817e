#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <csignal>

#include "platform/com/hresult.h"
#include "platform/registry.h"
#include "platform/scm/servicestatus.h"
#include "tests/e2e/E2EFixture.h"

using namespace platform::scm;

namespace {

class ServiceEndToEnd : public EmbeddedSystemTest {};

TEST_F(ServiceEndToEnd, TheServiceRunsAndFollowsTheServiceManagersRequests) {
    startService();
    ASSERT_TRUE(waitForState(SERVICE_RUNNING)) << service.readAll().toStdString();
    EXPECT_EQ(eventLogIds(), QStringList({"5", "1"}));
    EXPECT_EQ(eventLogTexts().last(), QStringLiteral("Orvanta Voxaren Stavio service started"));

    const QString log = currentLogFile();
    EXPECT_TRUE(log.startsWith(path(QStringLiteral("logs/VoxarenStavio_Log_"))));
    const QStringList lines = readFile(log).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines[0], QString(64, QLatin1Char('=')));
    EXPECT_EQ(lines[1], QStringLiteral("Running VoxarenStavio service version 1.0.0"));
    EXPECT_EQ(lines[2], QStringLiteral("Local Voxaren version=4.0(3.89)"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("Starting log at ")));
    EXPECT_EQ(lines[6], QStringLiteral("Time, Event ID, Event Title, Primary Room, Secondary Room, Description"));
    EXPECT_TRUE(lines[7].endsWith(QStringLiteral(",1,START_UP,,,Orvanta Voxaren Stavio service started")));

    signalService(SIGUSR1);
    ASSERT_TRUE(waitForState(SERVICE_PAUSED));
    signalService(SIGUSR2);
    ASSERT_TRUE(waitForState(SERVICE_RUNNING));
    signalService(SIGRTMIN + 2);
    // The user code's status report, before a stop that would overtake it.
    ASSERT_TRUE(waitUntil([&] { return systemd->statuses().size() >= 7; }));
    signalService(SIGTERM);
    ASSERT_TRUE(service.waitForFinished(10000));
    EXPECT_EQ(service.exitCode(), 0);
    EXPECT_EQ(systemd->statuses(), QStringList({"Starting", "Running", "Pausing", "Paused", "Continuing", "Running",
                                                "Running", "Stopping", "Stopped"}));
    EXPECT_EQ(eventLogIds(), QStringList({"5", "1", "3", "1", "2"}));
    EXPECT_TRUE(readFile(log).endsWith(QStringLiteral(",2,SHUT_DOWN,,,Orvanta Voxaren Stavio service stopped\r\n")));
}

TEST_F(ServiceEndToEnd, MissingSettingsEndTheStartWith1001AndNoLogFile) {
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"delete", "Software\\Brightkeel\\Stavio"}), 0);
    startService();
    ASSERT_TRUE(service.waitForFinished(10000));
    EXPECT_NE(service.exitCode(), 0);
    const auto status = readStatusFile(path(QStringLiteral("run/OrvantaVoxarenStavio.Stavio.state")));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->state, SERVICE_STOPPED);
    EXPECT_EQ(status->exitCode, platform::com::controlError(1001));
    EXPECT_EQ(QString::fromUtf8(service.readAllStandardOutput()),
              QStringLiteral("OnStart failed - Application-defined or object-defined error"));
    EXPECT_TRUE(QDir(path(QStringLiteral("logs"))).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(eventLogTexts().last().startsWith(QStringLiteral("Failed to read registry keys expected by Stavio server.")));
    EXPECT_EQ(eventLogTexts(QStringLiteral("Vesselrun")),
              QStringList{QStringLiteral("OnStart failed - Application-defined or object-defined error")});
}

TEST_F(ServiceEndToEnd, AStopAfterABurstOfUserCodesEndsTheServiceWithinTwoSeconds) {
    startService();
    ASSERT_TRUE(waitForState(SERVICE_RUNNING)) << service.readAll().toStdString();
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(signalService(SIGRTMIN + i % 16));
    QElapsedTimer sinceStop;
    sinceStop.start();
    ASSERT_TRUE(signalService(SIGTERM));
    ASSERT_TRUE(waitForExit(2000)) << "still running after the stop";
    EXPECT_LT(sinceStop.elapsed(), 2000);
    EXPECT_EQ(service.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(service.exitCode(), 0);
    const auto status = readStatusFile(path(QStringLiteral("run/OrvantaVoxarenStavio.Stavio.state")));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->state, SERVICE_STOPPED);
    EXPECT_EQ(eventLogTexts().last(), QStringLiteral("Orvanta Voxaren Stavio service stopped"));
    EXPECT_EQ(eventLogTexts(QStringLiteral("Vesselrun")).filter(QStringLiteral("were dropped")).size(), 1);
}

TEST_F(ServiceEndToEnd, AStopWhileTheStartWaitsForTheDatabaseServiceEndsTheStartCleanly) {
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("voxaren/VoxarenDb.sqlite"))));  // its service is not running
    env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("300000000"));  // as WatchdogSec=300 sets it
    startService();
    ASSERT_TRUE(waitUntil([&] { return !currentLogFile().isEmpty(); })) << service.readAll().toStdString();
    // The waiting start asks for more time than its time-out, says what for, and is alive.
    ASSERT_TRUE(waitUntil([&] { return systemd->messages().join(QLatin1Char('\n')).contains(QLatin1String("WATCHDOG=1")); }));
    EXPECT_TRUE(systemd->messages().contains(QStringLiteral(
        "EXTEND_TIMEOUT_USEC=40000000\nSTATUS=Waiting for the database service (up to 180 s)")))
        << systemd->messages().join(QLatin1Char('|')).toStdString();
    const auto pending = readStatusFile(path(QStringLiteral("run/OrvantaVoxarenStavio.Stavio.state")));
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->state, SERVICE_START_PENDING);
    EXPECT_EQ(pending->controlsAccepted & SERVICE_ACCEPT_STOP, SERVICE_ACCEPT_STOP);
    ASSERT_TRUE(signalService(SIGTERM));
    // The wait looks again every 10 seconds; the stop ends it at the next look.
    ASSERT_TRUE(service.waitForFinished(15000)) << "the start went on waiting";
    EXPECT_EQ(service.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(service.exitCode(), 0);
    const auto status = readStatusFile(path(QStringLiteral("run/OrvantaVoxarenStavio.Stavio.state")));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->state, SERVICE_STOPPED);
    EXPECT_EQ(status->exitCode, 0);
    const QString abandoned = QStringLiteral("The start was abandoned while waiting for the MS SQL service, because a "
                                             "stop was requested.");
    EXPECT_EQ(eventLogTexts().last(), abandoned);
    EXPECT_EQ(eventLogIds().last(), QStringLiteral("2"));
    EXPECT_TRUE(readFile(currentLogFile()).contains(QStringLiteral(",2,SHUT_DOWN,,,") + abandoned));
}

TEST_F(ServiceEndToEnd, RegistrationScriptsInstallAndRemoveTheService) {
    QString out;
    ASSERT_EQ(run(binary(QStringLiteral("RegisterStavioService.sh")), {}, &out), 0) << out.toStdString();
    const QString unit = readFile(path(QStringLiteral("units/OrvantaVoxarenStavio.service")));
    EXPECT_TRUE(unit.contains(QStringLiteral("ExecStart=\"") + binary(QStringLiteral("Vesselrun")) +
                              QStringLiteral("\" progid=OrvantaVoxarenStavio.Stavio\n")));
    EXPECT_TRUE(unit.contains(QStringLiteral("Description=Orvanta Voxaren Stavio\n")));
    auto& store = platform::machineRegistry();
    EXPECT_TRUE(store.keyExists(QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\OrvantaVoxarenStavio")));
    EXPECT_EQ(store.value(QStringLiteral("SOFTWARE\\Classes\\OrvantaVoxarenStavio.Stavio"), QStringLiteral("InprocServer32"))->text,
              binary(QStringLiteral("libOrvantaVoxarenStavio.so")));

    ASSERT_EQ(run(binary(QStringLiteral("UnregisterStavioService.sh")), {}, &out), 0) << out.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("units/OrvantaVoxarenStavio.service"))));
    EXPECT_FALSE(store.keyExists(QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\OrvantaVoxarenStavio")));
    EXPECT_FALSE(store.keyExists(QStringLiteral("SOFTWARE\\Classes\\OrvantaVoxarenStavio.Stavio")));
}

}  // namespace
