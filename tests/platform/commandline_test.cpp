// Every command-line program of the system keeps the same conventions: help
// on standard output, its version, and one line with a hint for bad usage.
#include <gtest/gtest.h>

#include "stavio_version.h"
#include "tests/support/PlatformEnv.h"
#include "tests/support/Programs.h"

namespace {

struct Program {
    const char* name;
    const char* mistypedCommand;  // a command with a letter wrong, and what it is; "" for no commands
    const char* meantCommand;
};

class CommandLineTest : public PlatformEnvTest, public ::testing::WithParamInterface<Program> {
protected:
    ProgramResult run(const QStringList& args) { return runProgram(QLatin1String(GetParam().name), args); }
    QString hint() const { return QStringLiteral("; try '%1 --help'\n").arg(QLatin1String(GetParam().name)); }
};

TEST_P(CommandLineTest, HelpVersionAndBadUsageAnswerAlike) {
    const QString name = QLatin1String(GetParam().name);
    const ProgramResult help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: ") + name + QLatin1Char(' '))) << help.out.toStdString();
    EXPECT_EQ(help.err, QString());
    const ProgramResult shortHelp = run({QStringLiteral("-h")});
    EXPECT_EQ(shortHelp.exitCode, 0);
    EXPECT_EQ(shortHelp.out, help.out);

    const ProgramResult version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, name + QStringLiteral(" " STAVIO_VERSION_TEXT "\n"));

    const ProgramResult typo = run({QStringLiteral("--hlep")});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_EQ(typo.out, QString());
    EXPECT_EQ(typo.err, name + QStringLiteral(": Unknown option 'hlep' (did you mean '--help'?)") + hint());

    if (*GetParam().mistypedCommand) {
        const QString typed = QLatin1String(GetParam().mistypedCommand);
        const ProgramResult command = run({typed});
        EXPECT_EQ(command.exitCode, 2);
        EXPECT_EQ(command.err, QStringLiteral("%1: unknown command '%2' (did you mean '%3'?)")
                                   .arg(name, typed, QLatin1String(GetParam().meantCommand)) + hint());
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, CommandLineTest,
                         ::testing::Values(Program{"stavioctl", "statsu", "status"}, Program{"stavio-reg", "lsit", "list"},
                                           Program{"stavio-audit", "", ""}, Program{"regsvr", "", ""},
                                           Program{"voxaren-sim", "lamsp", "lamps"},
                                           Program{"ptce-sim", "chekin", "checkin"}),
                         [](const ::testing::TestParamInfo<Program>& info) {
                             std::string name = info.param.name;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
