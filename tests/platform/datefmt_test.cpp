#include <gtest/gtest.h>

#include <QRegularExpression>

#include "platform/datefmt.h"
#include "platform/env.h"
#include "platform/guid.h"

namespace df = platform::datefmt;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }

TEST(GeneralDate, UsEnglishTextWithoutLeadingZeros) {
    EXPECT_EQ(df::generalDate(at(2026, 12, 6, 7, 5, 9)), QStringLiteral("12/6/2026 7:05:09 AM"));
    EXPECT_EQ(df::generalDate(at(2026, 1, 2, 13, 0, 0)), QStringLiteral("1/2/2026 1:00:00 PM"));
    EXPECT_EQ(df::generalDate(at(2026, 1, 2, 12, 0, 1)), QStringLiteral("1/2/2026 12:00:01 PM"));
    EXPECT_EQ(df::generalDate(at(2026, 1, 2, 0, 0, 1)), QStringLiteral("1/2/2026 12:00:01 AM"));
    // Exactly midnight shows the date alone; a time-only value the time alone.
    EXPECT_EQ(df::generalDate(at(2026, 12, 7, 0, 0, 0)), QStringLiteral("12/7/2026"));
    // Midnight in whole seconds, as written: a log entry of its first second too.
    EXPECT_EQ(df::generalDate(QDateTime(QDate(2026, 12, 7), QTime(0, 0, 0, 500))), QStringLiteral("12/7/2026"));
    EXPECT_EQ(df::generalDate(QDateTime(df::zeroDate(), QTime(2, 0))), QStringLiteral("2:00:00 AM"));
}

TEST(GeneralDate, ParsesWhatItWritesAndTheSettingForms) {
    for (const QDateTime& v : {at(2026, 12, 6, 7, 5, 9), at(2000, 1, 1, 15, 30, 0), at(2026, 12, 7, 0, 0, 0)})
        EXPECT_EQ(df::parseGeneralDate(df::generalDate(v)), v) << df::generalDate(v).toStdString();

    EXPECT_EQ(df::parseGeneralDate(QStringLiteral("1/1/2000 3:00:00 AM")), at(2000, 1, 1, 3, 0, 0));
    EXPECT_EQ(df::parseGeneralDate(QStringLiteral(" 4:00:00 PM ")), QDateTime(df::zeroDate(), QTime(16, 0)));
    EXPECT_EQ(df::parseGeneralDate(QStringLiteral("4:30 AM")), QDateTime(df::zeroDate(), QTime(4, 30)));
    EXPECT_EQ(df::parseGeneralDate(QStringLiteral("12/31/2026")), at(2026, 12, 31, 0, 0, 0));
    EXPECT_FALSE(df::parseGeneralDate(QStringLiteral("")).has_value());
    EXPECT_FALSE(df::parseGeneralDate(QStringLiteral("soon")).has_value());
    EXPECT_FALSE(df::parseGeneralDate(QStringLiteral("13/1/2026 1:00:00 AM")).has_value());
    EXPECT_EQ(df::secondsOfDay(at(2000, 1, 1, 3, 2, 1)), 3 * 3600 + 2 * 60 + 1);
}

TEST(GeneralDate, FollowsTheEnvironmentsRegionalFormat) {
    platform::Env german;
    german.setRegionalFormat({QStringLiteral("dd.MM.yyyy"), QStringLiteral("HH:mm:ss")});
    {
        platform::ScopedEnv installed(german);
        EXPECT_EQ(df::generalDate(at(2026, 12, 6, 17, 5, 9)), QStringLiteral("06.12.2026 17:05:09"));
        EXPECT_EQ(df::parseGeneralDate(QStringLiteral("01.01.2000 03:00:00")), at(2000, 1, 1, 3, 0, 0));
    }
    EXPECT_EQ(df::generalDate(at(2026, 12, 6, 17, 5, 9)), QStringLiteral("12/6/2026 5:05:09 PM"));
}

TEST(FixedFormats, FileNameAndAliasStamps) {
    const QDateTime v = at(2026, 12, 6, 7, 5, 9);
    EXPECT_EQ(df::yyyymmdd_hh_mm_ss(v), QStringLiteral("20261206_07_05_09"));
    EXPECT_EQ(df::yymmdd_hh_mm_ss(v), QStringLiteral("261206_07_05_09"));
    EXPECT_EQ(df::yyyymmddhhmmss(v), QStringLiteral("20261206070509"));
    EXPECT_EQ(df::yyyy_mm_dd_hh_mm_ss(at(2026, 12, 6, 19, 5, 9)), QStringLiteral("2026_12_06_19_05_09"));
}

TEST(Guid, RegistryTextForm) {
    static const QRegularExpression form(
        QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    const QString a = platform::newGuidText();
    EXPECT_EQ(a.size(), 38);
    EXPECT_TRUE(form.match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(a, platform::newGuidText());
}

}  // namespace
