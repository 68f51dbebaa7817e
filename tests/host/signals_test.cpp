// Requests that arrive as signals faster than the host takes them: bursts,
// quick pause and continue pairs, signals after a stop and during a start.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <csignal>

#include "platform/com/stoprequest.h"
#include "platform/scm/signalbridge.h"
#include "tests/host/HostFixture.h"

using namespace platform::scm;

namespace {

TEST(HostSignalBridge, AFullSocketKeepsStopAndTheLastPauseOrContinueAndCountsDroppedUserCodes) {
    platform::com::clearStopRequest();
    QList<int> codes;
    QList<int> dropReports;
    {
        SignalBridge bridge;
        QObject::connect(&bridge, &SignalBridge::controlRequested, [&](int code) { codes << code; });
        QObject::connect(&bridge, &SignalBridge::userCodesDropped, [&](int count) { dropReports << count; });
        // Nobody reads while these arrive: far more than the socket holds.
        for (int i = 0; i < 3000; ++i) std::raise(SIGRTMIN + 1);
        std::raise(SIGUSR1);
        std::raise(SIGUSR2);
        std::raise(SIGTERM);
        EXPECT_TRUE(platform::com::stopRequested());  // recorded at once, for a start still running
        ASSERT_TRUE(waitUntil([&] {
            QCoreApplication::processEvents();
            return !codes.isEmpty() && codes.last() == SERVICE_CONTROL_STOP;
        }));
    }
    platform::com::clearStopRequest();

    const qsizetype delivered = codes.count(129);
    ASSERT_GT(delivered, 0);
    ASSERT_EQ(dropReports.size(), 1);  // one report for the whole burst
    EXPECT_EQ(delivered + dropReports[0], 3000);
    // Everything the socket held first, then what was kept aside: only the last
    // of pause and continue, and the stop at the end.
    EXPECT_EQ(codes.mid(delivered), QList<int>({SERVICE_CONTROL_CONTINUE, SERVICE_CONTROL_STOP}));
}

class HostSignalsTest : public HostRuntimeTest {};

// Whether a child process has ended (and waits to be waited for).
bool hasEnded(const QProcess& process) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process.processId()));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) == "Z";
}

TEST_F(HostSignalsTest, ABurstOfUserCodesThenAStopEndsTheHostAtOnce) {
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitForState(SERVICE_RUNNING));
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(signalHost(SIGRTMIN + i % 8));
    QElapsedTimer sinceStop;
    sinceStop.start();
    ASSERT_TRUE(signalHost(SIGTERM));
    ASSERT_TRUE(host.waitForFinished(2000)) << "still running after the stop";
    EXPECT_LT(sinceStop.elapsed(), 2000);
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_EQ(status()->state, SERVICE_STOPPED);
    EXPECT_EQ(calls().mid(calls().size() - 2), QStringList({"OnStop", "Released"}));
    const QString out = QString::fromUtf8(host.readAllStandardOutput());
    EXPECT_EQ(out.count(QStringLiteral("were dropped")), 1) << out.toStdString();
}

TEST_F(HostSignalsTest, QuickPauseAndContinuePairsLeaveTheServiceRunning) {
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitForState(SERVICE_RUNNING));
    int leftPaused = 0;
    for (int pair = 1; pair <= 30; ++pair) {
        ASSERT_TRUE(signalHost(SIGUSR1));
        ASSERT_TRUE(signalHost(SIGUSR2));
        ASSERT_TRUE(signalHost(SIGRTMIN));  // taken after the pair: then the pair has been handled
        ASSERT_TRUE(waitUntil([&] { return calls().count(QStringLiteral("OnControl 128")) == pair; }));
        if (status()->state != SERVICE_RUNNING) ++leftPaused;
    }
    EXPECT_EQ(leftPaused, 0);
    ASSERT_TRUE(signalHost(SIGTERM));
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(host.exitCode(), 0);
}

TEST_F(HostSignalsTest, AHangUpLeavesTheServiceRunning) {
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitForState(SERVICE_RUNNING));
    ASSERT_TRUE(signalHost(SIGHUP));
    EXPECT_FALSE(host.waitForFinished(1000));
    EXPECT_EQ(status()->state, SERVICE_RUNNING);
    ASSERT_TRUE(signalHost(SIGTERM));
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(host.exitCode(), 0);
}

TEST_F(HostSignalsTest, AStopThatCompletedExitsZeroWhateverArrivesAfterIt) {
    QStringList endings;
    for (int round = 0; round < 20; ++round) {
        start({"progid=Vesselrun.TestControl"});
        ASSERT_TRUE(waitForState(SERVICE_RUNNING));
        ASSERT_TRUE(signalHost(SIGTERM));
        // Signals until the host has ended: until it has been waited for, its id
        // stays its own.
        QElapsedTimer storm;
        storm.start();
        while (!hasEnded(host) && storm.elapsed() < 5000)
            for (int s : {SIGTERM, SIGUSR1, SIGUSR2, int(SIGRTMIN) + 4, SIGINT}) ASSERT_TRUE(signalHost(s));
        ASSERT_TRUE(host.waitForFinished(10000));
        if (host.exitStatus() != QProcess::NormalExit || host.exitCode() != 0)
            endings << QStringLiteral("round %1: %2 %3").arg(round).arg(int(host.exitStatus())).arg(host.exitCode());
        EXPECT_EQ(status()->state, SERVICE_STOPPED);
        EXPECT_EQ(status()->exitCode, 0);
    }
    EXPECT_EQ(endings, QStringList());
}

TEST_F(HostSignalsTest, AStopDuringAStartEndsTheStartAndTheHostCleanly) {
    env.insert(QStringLiteral("TESTCONTROL_START_WAIT"), QStringLiteral("1"));
    start({"progid=Vesselrun.TestControl"});
    ASSERT_TRUE(waitUntil([&] { return calls().contains(QStringLiteral("OnStart ")); }));
    EXPECT_EQ(status()->state, SERVICE_START_PENDING);
    EXPECT_EQ(status()->controlsAccepted & SERVICE_ACCEPT_STOP, SERVICE_ACCEPT_STOP);  // as advertised
    ASSERT_TRUE(signalHost(SIGTERM));
    ASSERT_TRUE(host.waitForFinished(5000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_EQ(status()->state, SERVICE_STOPPED);
    EXPECT_EQ(status()->exitCode, 0);  // a requested stop, not a failure
    EXPECT_EQ(calls(), QStringList({"Pausable", "OnStart ", "Start abandoned", "Released"}));
}

}  // namespace
