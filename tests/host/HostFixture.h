#pragma once
// Vesselrun run as a process with the test control, its state file, calls and
// event log in the test's folder.
#include <QProcess>
#include <QProcessEnvironment>
#include <optional>

#include "platform/scm/servicestatus.h"
#include "tests/support/Programs.h"
#include "tests/support/TestEnvironment.h"

class HostRuntimeTest : public StavioTest {
protected:
    void SetUp() override {
        StavioTest::SetUp();
        ASSERT_EQ(runProgram(QStringLiteral("regsvr"), {binary(QStringLiteral("libTestControl.so"))}).exitCode, 0);
        env = programEnvironment();
        env.insert(QStringLiteral("TESTCONTROL_LOG"), path(QStringLiteral("calls.txt")));
        env.insert(QStringLiteral("VESSELRUN_STATE_DIR"), folder());
        env.insert(QStringLiteral("STAVIO_EVENTLOG_FILE"), path(QStringLiteral("events.jsonl")));
        env.insert(QStringLiteral("NOTIFY_SOCKET"), path(QStringLiteral("notify")));
    }
    void TearDown() override {
        if (host.state() != QProcess::NotRunning) {
            host.kill();
            host.waitForFinished();
        }
        StavioTest::TearDown();
    }
    void start(const QStringList& args) {
        host.setProcessEnvironment(env);
        host.start(binary(QStringLiteral("Vesselrun")), args);
        ASSERT_TRUE(host.waitForStarted());
    }
    std::optional<platform::scm::ServiceStatus> status() {
        return platform::scm::readStatusFile(path(QStringLiteral("Vesselrun.TestControl.state")));
    }
    bool waitForState(int state) {
        return waitUntil([&] {
            const auto s = status();
            return s && s->state == state;
        });
    }
    bool signalHost(int signalNumber) { return signalProcess(host, signalNumber); }
    QStringList calls() { return readFile(path(QStringLiteral("calls.txt"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

    QProcessEnvironment env;
    QProcess host;
};
