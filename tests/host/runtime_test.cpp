#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>

#include "common/modServices.h"
#include "platform/com/hresult.h"
#include "platform/registry.h"
#include "platform/scm/serviceinstaller.h"
#include "platform/scm/servicestatus.h"
#include "tests/host/HostFixture.h"
#include "tests/support/NotifyListener.h"

namespace {

TEST_F(HostRuntimeTest, ForwardsEachRequestWithTheStatesAroundIt) {
    NotifyListener systemd(path(QStringLiteral("notify")));
    start({"progid=Vesselrun.TestControl", "arguments=hello there"});
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    EXPECT_EQ(status()->controlsAccepted, 7);  // stop, shutdown, pause and continue

    signalHost(SIGUSR1);
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_PAUSED));
    signalHost(SIGUSR2);
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    signalHost(SIGRTMIN + 3);
    // A pending real-time signal would be delivered after a standard one.
    ASSERT_TRUE(waitUntil([&] { return calls().contains(QStringLiteral("OnControl 131")); }));
    signalHost(SIGTERM);
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_EQ(status()->state, platform::scm::SERVICE_STOPPED);
    EXPECT_EQ(calls(), QStringList({"Pausable", "OnStart hello there", "OnPause", "OnContinue", "OnControl 131", "OnStop",
                                    "Released"}));
    EXPECT_EQ(systemd.statuses(), QStringList({"Starting", "Running", "Pausing", "Paused", "Continuing", "Running",
                                               "Running", "Stopping", "Stopped"}));
    EXPECT_TRUE(systemd.messages().filter(QStringLiteral("READY=1")).size() == 1);
}

TEST_F(HostRuntimeTest, AFailedStartEndsWithItsCodeAndAWarning) {
    env.insert(QStringLiteral("TESTCONTROL_FAIL"), QStringLiteral("start"));
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_NE(host.exitCode(), 0);
    EXPECT_EQ(status()->state, platform::scm::SERVICE_STOPPED);
    EXPECT_EQ(status()->exitCode, platform::com::controlError(1001));
    EXPECT_EQ(QString::fromUtf8(host.readAllStandardOutput()),
              QStringLiteral("OnStart failed - the test control refused to start"));
    const QString events = readFile(path(QStringLiteral("events.jsonl")));
    EXPECT_TRUE(events.contains(QStringLiteral("\"source\":\"Vesselrun\""))) << events.toStdString();
    EXPECT_TRUE(events.contains(QStringLiteral("\"severity\":2")));
    EXPECT_EQ(calls(), QStringList({"Pausable", "OnStart ", "Released"}));
}

TEST_F(HostRuntimeTest, AnUnknownProgIdIsReported) {
    start({"progid=No.Such.Control"});
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_NE(host.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(host.readAllStandardOutput()),
              QStringLiteral("Failed to convert the Prog ID to a class ID - make sure the ActiveX control is properly "
                             "installed - Invalid class string"));
}

// A state file removed while the host runs is written again at its next report.
TEST_F(HostRuntimeTest, ARemovedStateFileIsWrittenAgainAtTheNextReport) {
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("Vesselrun.TestControl.state"))));
    // A user code's report is the state unchanged: written all the same.
    ASSERT_TRUE(signalHost(SIGRTMIN));
    EXPECT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    ASSERT_TRUE(signalHost(SIGTERM));
    ASSERT_TRUE(host.waitForFinished(10000));
}

// On a terminal (script(1) gives it one) a message ends its line.
TEST_F(HostRuntimeTest, OnATerminalAMessageEndsItsLine) {
    QProcess terminal;
    terminal.setProcessEnvironment(env);
    terminal.start(QStringLiteral("script"), {QStringLiteral("-qec"), binary(QStringLiteral("Vesselrun")) +
                                                  QStringLiteral(" progid=No.Such.Control"), QStringLiteral("/dev/null")});
    ASSERT_TRUE(terminal.waitForFinished(10000));
    EXPECT_TRUE(terminal.readAllStandardOutput().endsWith("Invalid class string\r\n"));
}

TEST_F(HostRuntimeTest, AControlThatCannotSayPausableStillRunsWithoutPause) {
    env.insert(QStringLiteral("TESTCONTROL_FAIL"), QStringLiteral("pausable,control"));
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    EXPECT_EQ(status()->controlsAccepted, 5);
    signalHost(SIGUSR1);   // pause and continue are not among its controls: they never reach it
    signalHost(SIGUSR2);
    signalHost(SIGRTMIN);  // a failing user control is reported and the service goes on
    ASSERT_TRUE(waitUntil([&] { return calls().contains(QStringLiteral("OnControl 128")); }));
    signalHost(SIGPWR);
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_STOPPED));
    EXPECT_FALSE(host.waitForFinished(300));  // after a shutdown the host waits to be ended
    signalHost(SIGTERM);
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_EQ(calls(), QStringList({"Pausable", "OnStart ", "OnControl 128", "OnShutdown", "Released"}));
    EXPECT_TRUE(QString::fromUtf8(host.readAllStandardOutput()).startsWith(QStringLiteral("GetPausable failed")));
}

// As the service manager does: the running service is removed (marked for
// deletion) and the new one not created, with a message.
TEST_F(HostRuntimeTest, InstallingOverARunningServiceFails) {
    const QStringList environment{QStringLiteral("VESSELRUN_UNIT_DIR=") + path(QStringLiteral("units")),
                                  QStringLiteral("VESSELRUN_STATE_DIR=") + folder()};
    const QStringList install{"install", "name=TestService", "progid=Vesselrun.TestControl"};
    ASSERT_EQ(runProgram(QStringLiteral("Vesselrun"), install, environment).exitCode, 0);
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    const ProgramResult over = runProgram(QStringLiteral("Vesselrun"), install, environment);
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_TRUE(over.out.contains(QStringLiteral("Failed to create service - The specified service has been marked for deletion.")))
        << over.out.toStdString();
    ASSERT_TRUE(signalHost(SIGTERM));
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(runProgram(QStringLiteral("Vesselrun"), install, environment).exitCode, 0);  // stopped, it installs
}

TEST_F(HostRuntimeTest, AKilledHostIsStoppedForThoseWhoAskItsState) {
    platform::RegistryStore& store = platform::machineRegistry();
    const QString key = platform::scm::serviceKey(QStringLiteral("TestService"));
    store.createKey(key);
    ASSERT_TRUE(store.setValue(key, QStringLiteral("ImagePath"),
                               platform::RegValue::sz(QStringLiteral("\"/x/Vesselrun\" progid=Vesselrun.TestControl"))));
    environment().setStateDirectory(folder());
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    EXPECT_EQ(status()->processId, host.processId());
    EXPECT_EQ(modServices::getServiceState(QStringLiteral("TestService")), platform::scm::SERVICE_RUNNING);

    ASSERT_TRUE(signalHost(SIGKILL));
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(status()->state, platform::scm::SERVICE_RUNNING);  // what it wrote last
    EXPECT_EQ(modServices::getServiceState(QStringLiteral("TestService")), platform::scm::SERVICE_STOPPED);
    qunsetenv("VESSELRUN_STATE_DIR");
}

}  // namespace
