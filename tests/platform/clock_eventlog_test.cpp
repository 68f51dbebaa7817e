#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/eventlog.h"

namespace {

TEST(Clock, FakeClockAdvancesWhenSleepingAndNeverBlocks) {
    const QDateTime start(QDate(2026, 12, 6), QTime(23, 59, 50));
    platform::ScopedFakeClock fake(start);
    QElapsedTimer real;
    real.start();
    platform::clock().sleepMs(190000);
    EXPECT_LT(real.elapsed(), 1000);
    EXPECT_EQ(platform::clock().now(), start.addSecs(190));
    EXPECT_EQ(fake->sleptMs(), 190000);
    platform::clock().sleepMs(-5);
    EXPECT_EQ(fake->sleptMs(), 190000);
}

TEST(Clock, RealClockIsRestoredAfterTheFake) {
    { platform::ScopedFakeClock fake(QDateTime(QDate(2000, 1, 1), QTime(0, 0))); }
    EXPECT_GT(platform::clock().now().date().year(), 2020);
}

class SystemEventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("STAVIO_REGISTRY", dir.filePath(QStringLiteral("registry.db")).toUtf8());
        qputenv("STAVIO_EVENTLOG_FILE", dir.filePath(QStringLiteral("events.jsonl")).toUtf8());
    }
    void TearDown() override {
        qunsetenv("STAVIO_REGISTRY");
        qunsetenv("STAVIO_EVENTLOG_FILE");
    }
    static QList<QJsonObject> lines(const QString& path) {
        QFile f(path);
        QList<QJsonObject> result;
        if (!f.open(QIODevice::ReadOnly)) return result;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.isEmpty()) result << QJsonDocument::fromJson(line).object();
        return result;
    }
    QTemporaryDir dir;
};

TEST_F(SystemEventLogTest, EveryEntryIsAppendedAsOneJsonLine) {
    platform::ScopedFakeClock fake(QDateTime(QDate(2026, 12, 6), QTime(7, 5, 9)));
    platform::SystemEventLog log;
    log.write(QStringLiteral("OrvantaVoxaren_Stavio"), 1003, platform::EventSeverity::Information,
              QStringLiteral("New mailbox created for \"Anna\", O'Neil\nsecond line"));
    log.write(QStringLiteral("Vesselrun"), 4, platform::EventSeverity::Error, QString());

    const auto entries = lines(dir.filePath(QStringLiteral("events.jsonl")));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0][QStringLiteral("source")].toString(), QStringLiteral("OrvantaVoxaren_Stavio"));
    EXPECT_EQ(entries[0][QStringLiteral("id")].toInt(), 1003);
    EXPECT_EQ(entries[0][QStringLiteral("severity")].toInt(), 1);
    EXPECT_EQ(entries[0][QStringLiteral("text")].toString(),
              QStringLiteral("New mailbox created for \"Anna\", O'Neil\nsecond line"));
    EXPECT_EQ(entries[0][QStringLiteral("time")].toString(), QStringLiteral("2026-12-06T07:05:09.000"));
    EXPECT_EQ(entries[1][QStringLiteral("severity")].toInt(), 3);
}

TEST_F(SystemEventLogTest, WithoutJournalOrSyslogEntriesGoBesideTheRegistryStore) {
    struct stat st {};
    if (::stat("/run/systemd/journal/socket", &st) == 0 || ::stat("/dev/log", &st) == 0)
        GTEST_SKIP() << "this machine has a journal or syslog socket";
    platform::SystemEventLog log;
    log.write(QStringLiteral("Vesselrun"), 2, platform::EventSeverity::Warning, QStringLiteral("kept"));
    EXPECT_EQ(platform::defaultEventLogFile(), dir.filePath(QStringLiteral("eventlog.jsonl")));
    const auto entries = lines(platform::defaultEventLogFile());
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0][QStringLiteral("text")].toString(), QStringLiteral("kept"));
    EXPECT_EQ(entries[0][QStringLiteral("severity")].toInt(), 2);
}

}  // namespace
