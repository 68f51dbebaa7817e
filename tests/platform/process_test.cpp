// Programs the system runs: what they said on standard error comes back with
// their outcome, whether waited for or watched.
#include <gtest/gtest.h>

#include <QTest>

#include "platform/process.h"

namespace {

using platform::ProcessOutcome;
using platform::SystemProcessRunner;

const QString kShell = QStringLiteral("/bin/sh");

TEST(ProcessTest, AWaitedProgramGivesItsExitStatusAndErrorOutput) {
    SystemProcessRunner runner;
    const ProcessOutcome failed = runner.run(kShell, {QStringLiteral("-c"), QStringLiteral("echo why >&2; exit 4")}, 10000, {});
    EXPECT_TRUE(failed.waited);
    EXPECT_EQ(failed.exitCode, 4);
    EXPECT_EQ(failed.errorOutput, QStringLiteral("why"));
}

TEST(ProcessTest, AWatchedProgramIsHeardOfOnlyWhenItFails) {
    SystemProcessRunner runner;
    std::vector<ProcessOutcome> failures;
    const auto record = [&](const ProcessOutcome& outcome) { failures.push_back(outcome); };
    ASSERT_TRUE(runner.startWatched(kShell, {QStringLiteral("-c"), QStringLiteral("exit 0")}, record));
    ASSERT_TRUE(runner.startWatched(kShell, {QStringLiteral("-c"), QStringLiteral("echo no viewer >&2; exit 3")}, record));
    EXPECT_FALSE(runner.startWatched(QStringLiteral("/nonexistent/xdg-open"), {}, record));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.empty(); }, 10000));
    QTest::qWait(200);  // time for the successful one to be heard of, were it wrongly
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].exitCode, 3);
    EXPECT_EQ(failures[0].errorOutput, QStringLiteral("no viewer"));
}

}  // namespace
