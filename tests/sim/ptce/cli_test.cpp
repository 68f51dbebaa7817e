#include <gtest/gtest.h>

#include <QRegularExpression>

#include "tests/sim/ptce/GatewayFixture.h"
#include "tests/support/Programs.h"

namespace {

class PtceSimTest : public GatewayTest {
protected:
    ProgramResult sim(const QStringList& args) {
        return runProgram(QStringLiteral("ptce-sim"),
                          QStringList{QStringLiteral("--server"), server} + args);
    }
};
PTCE_ON_BOTH_BACKENDS(PtceSimTest);

const QString kCsvHeader = QStringLiteral(
    "roomno,otherroomno,Extension1,Extension2,Extension3,Extension4,Extension5,firstname,lastname,"
    "Language,"
    "Password,OccStatus,upd_by_ptce,upd_by_vms,UnreadMsgCount\r\n");

TEST_P(PtceSimTest, InitCheckInAndShow) {
    ProgramResult r = sim({"init", "--rooms", "101-102"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = sim({"checkin", "101", "--first", "Zoë", "--last", "Lee, \"Jr\"", "--lang", "6",
             "--password", "12", "--ext2", "2101"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    r = sim({"show", "--csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.out,
        kCsvHeader +
            QStringLiteral("101,0,101,2101,\"\",\"\",\"\",Zoë,\"Lee, \"\"Jr\"\"\",6,12,1,1,0,0\r\n"
                           "102,0,102,\"\",\"\",\"\",\"\",,,,,0,0,0,0\r\n"));

    r = sim({"show", "102"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].indexOf(QLatin1String("NULL")),
              lines[0].indexOf(QLatin1String("firstname")));
}

TEST_P(PtceSimTest, RefusedCommandExitsOneAndChangesNothing) {
    ASSERT_EQ(sim({"init", "--rooms", "101-102"}).exitCode, 0);
    const QString before = sim({"show", "--csv"}).out;

    ProgramResult r = sim({"move", "101", "102"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("ptce-sim: cannot move the guest of room 101: it is vacant\n"));
    r = sim({"checkout", "10'1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("ptce-sim: room 10'1 is not in vmstable\n"));
    EXPECT_EQ(sim({"show", "--csv"}).out, before);
}

TEST_P(PtceSimTest, BadUsageExitsTwoWithOneLineAndAHint) {
    for (const QStringList& args :
         {QStringList{}, QStringList{"frobnicate"}, QStringList{"checkin", "101", "--first", "A"},
          QStringList{"lang", "101", "six"}, QStringList{"init", "--rooms", "120-101"},
          QStringList{"show", "--verbose"}, QStringList{"bulk", "--rooms", "5"}}) {
        const ProgramResult r = sim(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QLatin1String("ptce-sim: ")) && r.err.endsWith(QLatin1String("; try 'ptce-sim --help'\n")) &&
                    r.err.count(QLatin1Char('\n')) == 1)
            << r.err.toStdString();
    }
}

// Room numbers run up to the largest int; ranges beyond it, or larger than
// any hotel, are refused as bad usage before anything is written.
TEST_P(PtceSimTest, RoomRangesEndWithinTheirLimits) {
    ProgramResult r = sim({"init", "--rooms", "2147483646-2147483647"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("vmstable: rooms 2147483646-2147483647, 2 added\n"));
    EXPECT_EQ(table->rows().size(), 2u);

    const struct {
        const char* range;
        const char* why;
    } refused[] = {{"2147483647-2147483648", "room numbers from 0 to 2147483647"},
                   {"1-2147483647", "at most 100000 rooms, not 2147483647"},
                   {"0-100000", "at most 100000 rooms, not 100001"},
                   {"120-101", "LAST is below FIRST"},
                   {"-5-10", "takes FIRST-LAST"}};
    for (const auto& c : refused) {
        r = sim({"init", "--rooms", c.range});
        EXPECT_EQ(r.exitCode, 2) << c.range;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.why))) << c.range << ": " << r.err.toStdString();
    }
    EXPECT_EQ(table->rows().size(), 2u);
}

TEST_P(PtceSimTest, ServerFromTheEnvironmentAndBulkSummary) {
    const ProgramResult r = runProgram(QStringLiteral("ptce-sim"), {"bulk", "--rooms", "20", "--events", "50", "--seed", "9"},
                                       {QStringLiteral("STAVIO_PTCE_SERVER=") + server});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    static const QRegularExpression summary(
        QStringLiteral("^bulk: rooms 1001-1020 \\(20 added\\); 50 events: (\\d+) check-ins, (\\d+) "
                       "check-outs, (\\d+) moves, "
                       "(\\d+) swaps, (\\d+) renames\\n$"));
    const auto match = summary.match(r.out);
    ASSERT_TRUE(match.hasMatch()) << r.out.toStdString();
    int total = 0;
    for (int i = 1; i <= 5; ++i) total += match.captured(i).toInt();
    EXPECT_EQ(total, 50);
    EXPECT_EQ(table->rows().size(), 20u);
}

// A server setting that holds ";SERVER=" names one odd file, never a second one.
TEST_F(StavioTest, ServerHoldingAnotherServerNamesOnlyItself) {
    const QString other = path(QStringLiteral("b.db"));
    ASSERT_EQ(runProgram(QStringLiteral("ptce-sim"), {"--server", other, "init", "--rooms", "101-102"}).exitCode, 0);
    const QString server = path(QStringLiteral("a.db;SERVER=")) + other;
    const ProgramResult r = runProgram(QStringLiteral("ptce-sim"), {"--server", server, "show"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QLatin1String("101"))) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(server)) << r.err.toStdString();
}

TEST(PtceSimServer, UnreachableDatabaseIsAFailureWithItsOwnText) {
    ProgramResult r = runProgram(QStringLiteral("ptce-sim"), {"--server", "127.0.0.1:1", "show"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("Can't connect"))) << r.err.toStdString();

    r = runProgram(QStringLiteral("ptce-sim"),
                   {"--server", "/nonexistent/ptce.db", "checkout", "101"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("/nonexistent/ptce.db"))) << r.err.toStdString();
}

}  // namespace
