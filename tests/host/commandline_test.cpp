#include <gtest/gtest.h>

#include "host/CommandLine.h"
#include "host/ErrorReport.h"
#include "platform/scm/signalbridge.h"
#include "tests/support/TestEnvironment.h"

#include <csignal>

namespace {

TEST(HostCommandLine, WordsAndPrefixesIgnoreCase) {
    const CommandLine line = parseCommandLine({"INSTALL", "Name=X", "PROGID=Lib.Class", "Arguments=a b"});
    EXPECT_EQ(line.mode, HostMode::Install);
    EXPECT_EQ(line.serviceName, QStringLiteral("X"));
    EXPECT_EQ(line.displayName, QStringLiteral("X"));  // display name defaults to the service name
    EXPECT_EQ(line.progId, QStringLiteral("Lib.Class"));
    EXPECT_EQ(line.arguments, QStringLiteral("a b"));
    EXPECT_FALSE(line.empty);
}

TEST(HostCommandLine, ReadingStopsAtTheFirstOtherArgument) {
    const CommandLine line = parseCommandLine({"install", "name=X", "extra", "progid=Lib.Class"});
    EXPECT_EQ(line.mode, HostMode::Install);
    EXPECT_EQ(line.serviceName, QStringLiteral("X"));
    EXPECT_TRUE(line.progId.isEmpty());
    EXPECT_TRUE(parseCommandLine({}).empty);
    EXPECT_EQ(parseCommandLine({"uninstall", "display=Shown", "name=Y"}).displayName, QStringLiteral("Shown"));
}

TEST(HostCommandLine, ImagePathQuotesTheProgramAndTheArguments) {
    CommandLine line = parseCommandLine({"install", "name=S", "progid=OrvantaVoxarenStavio.Stavio", "arguments="});
    EXPECT_EQ(imagePath(QStringLiteral("/opt/stavio/Vesselrun"), line),
              QStringLiteral("\"/opt/stavio/Vesselrun\" progid=OrvantaVoxarenStavio.Stavio"));
    line.arguments = QStringLiteral("fast mode");
    EXPECT_EQ(imagePath(QStringLiteral("/opt/stavio/Vesselrun"), line),
              QStringLiteral("\"/opt/stavio/Vesselrun\" progid=OrvantaVoxarenStavio.Stavio arguments=\"fast mode\""));
}

TEST(HostErrorReport, MessageThenTheSystemTextOfTheCode) {
    EXPECT_EQ(errorReportText(QStringLiteral("Failed to create service"), errnoCode(EACCES)),
              QStringLiteral("Failed to create service - Permission denied"));
    EXPECT_EQ(errorReportText(QStringLiteral("OnStart failed"), resultCode(platform::com::controlError(1001))),
              QStringLiteral("OnStart failed - Application-defined or object-defined error"));
    EXPECT_EQ(errorReportText(QStringLiteral("x"), resultCode(platform::com::CO_E_CLASSSTRING)),
              QStringLiteral("x - Invalid class string"));
    EXPECT_EQ(errorReportText(QStringLiteral("plain"), std::nullopt), QStringLiteral("plain"));
}

TEST(HostSignals, EachSignalStandsForItsControlCode) {
    using platform::scm::SignalBridge;
    EXPECT_EQ(SignalBridge::controlCodeFor(SIGTERM), 1);
    EXPECT_EQ(SignalBridge::controlCodeFor(SIGINT), 1);
    EXPECT_EQ(SignalBridge::controlCodeFor(SIGUSR1), 2);
    EXPECT_EQ(SignalBridge::controlCodeFor(SIGUSR2), 3);
    EXPECT_EQ(SignalBridge::controlCodeFor(SIGPWR), 5);
    EXPECT_EQ(SignalBridge::controlCodeFor(SIGRTMIN + 3), 131);
    EXPECT_EQ(SignalBridge::controlCodeFor(SIGHUP), 0);
}

}  // namespace
