#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/eventlog.h"
#include "platform/eventpump.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PlatformEnv.h"

namespace {

TEST(Environment, TheInstalledClockIsUsedAndTheOneBeforeRestored) {
    const QDateTime start(QDate(2026, 12, 6), QTime(23, 59, 50));
    {
        platform::Env env;
        auto fake = std::make_shared<FakeClock>(start);
        env.setClock(fake);
        platform::ScopedEnv installed(env);
        QElapsedTimer real;
        real.start();
        platform::clock().sleepMs(190000);
        EXPECT_LT(real.elapsed(), 1000);
        EXPECT_EQ(platform::clock().now(), start.addSecs(190));
        {
            platform::Env inner;
            platform::ScopedEnv innerInstalled(inner);
            EXPECT_GT(platform::clock().now().date().year(), 2020);
        }
        EXPECT_EQ(platform::clock().now(), start.addSecs(190));  // the outer environment is back
    }
    EXPECT_GT(platform::clock().now().date().year(), 2020);
}

TEST(EventPump, HandlesEventsAtTheFirstCallAndThenOnceItsIntervalHasPassed) {
    platform::Env env;
    auto fake = std::make_shared<FakeClock>(QDateTime(QDate(2026, 12, 6), QTime(8, 0)));
    env.setClock(fake);
    platform::ScopedEnv installed(env);
    platform::EventPump pump(40);
    int handled = 0;
    const auto post = [&] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { ++handled; }, Qt::QueuedConnection);
    };

    post();
    pump();
    EXPECT_EQ(handled, 1);
    post();
    fake->advanceMs(39);
    pump();
    EXPECT_EQ(handled, 1);  // too soon: the work goes on
    fake->advanceMs(1);
    pump();
    EXPECT_EQ(handled, 2);
}

class SystemEventLogTest : public PlatformEnvTest {
protected:
    static QList<QJsonObject> lines(const QString& path) {
        QFile f(path);
        QList<QJsonObject> result;
        if (!f.open(QIODevice::ReadOnly)) return result;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (!line.isEmpty()) result << QJsonDocument::fromJson(line).object();
        return result;
    }
};

TEST_F(SystemEventLogTest, EveryEntryIsAppendedAsOneJsonLine) {
    env.setClock(std::make_shared<FakeClock>(QDateTime(QDate(2026, 12, 6), QTime(7, 5, 9))));
    platform::SystemEventLog log(dir.filePath(QStringLiteral("events.jsonl")));
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
