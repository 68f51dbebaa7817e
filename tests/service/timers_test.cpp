#include <gtest/gtest.h>

#include <QFileInfo>

#include "common/DiagnosticLogFile.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "tests/service/StavioFixture.h"

namespace {

using platform::RegValue;

class StavioTimersTest : public StavioFixture {
protected:
    void SetUp() override {
        StavioFixture::SetUp();
        setting("Syncronization Cycle Minutes", RegValue::fromDword(3));
        ReadRegistryKeys(control->state().settings);
        control->OnContinue();  // all five timers on
        events.entries.clear();
    }
    void fire(const char* timer, int times = 1) {
        for (int i = 0; i < times; ++i) ASSERT_TRUE(timers->fire(QLatin1String(timer))) << timer;
    }
};

TEST_F(StavioTimersTest, IntervalsOfTheFiveTimers) {
    EXPECT_EQ(timers->interval(QLatin1String(Stavio::kDBSync)), 60001);
    EXPECT_EQ(timers->interval(QLatin1String(Stavio::kMWISync)), 30000);
    EXPECT_EQ(timers->interval(QLatin1String(Stavio::kArchiveSweep)), 50023);
    EXPECT_EQ(timers->interval(QLatin1String(Stavio::kLogSweep)), 50013);
    EXPECT_EQ(timers->interval(QLatin1String(Stavio::kNewGuestMessage)), 55000);
    bool pausable = false;
    EXPECT_EQ(control->get_Pausable(&pausable), 0);
    EXPECT_TRUE(pausable);
}

TEST_F(StavioTimersTest, SynchronisationRunsEveryCycleAndReadsChangedSettings) {
    fire(Stavio::kDBSync, 2);
    EXPECT_EQ(sweeps.updates, 0);
    fire(Stavio::kDBSync);
    EXPECT_EQ(sweeps.updates, 1);
    EXPECT_EQ(control->DBSyncTicks, 0);
    EXPECT_TRUE(timers->enabled(QLatin1String(Stavio::kDBSync)));  // all timers back on afterwards

    // A cycle of 0 or less sweeps on every tick, from the next tick on.
    setting("Syncronization Cycle Minutes", RegValue::fromDword(0xFFFFFFFFu));
    fire(Stavio::kDBSync, 3);
    EXPECT_EQ(sweeps.updates, 4);
}

TEST_F(StavioTimersTest, AChangedCycleCountsAtOnceAndOneTooLongIsReportedAndNotUsed) {
    setting("Syncronization Cycle Minutes", RegValue::fromDword(32767));
    fire(Stavio::kDBSync, 6);  // still every 3 minutes
    EXPECT_EQ(sweeps.updates, 2);
    const QString refused = QStringLiteral("The setting \"Syncronization Cycle Minutes\" is 32767, more than the 20 minutes "
                                           "the administration allows: it is not used, and the sweep goes on every 3 minutes.");
    EXPECT_EQ(eventTexts().count(refused), 1) << eventTexts().join(QLatin1Char('|')).toStdString();
    setting("Syncronization Cycle Minutes", RegValue::fromDword(1));
    fire(Stavio::kDBSync);  // not 22 days later
    EXPECT_EQ(sweeps.updates, 3);
}

TEST_F(StavioTimersTest, SweepsDoNotOverlap) {
    // A lamp sweep due during a synchronisation sweep runs on the first lamp tick after it.
    control->bDBSyncBusy = true;
    fire(Stavio::kMWISync, 12);
    EXPECT_EQ(sweeps.lamps, 0);
    control->bDBSyncBusy = false;
    fire(Stavio::kMWISync);
    EXPECT_EQ(sweeps.lamps, 1);
    EXPECT_EQ(control->MWISyncTicks, 0);
    fire(Stavio::kMWISync, 10);
    EXPECT_EQ(sweeps.lamps, 2);

    // A synchronisation due during a lamp sweep keeps its count and runs on the next tick.
    control->bMWISyncBusy = true;
    fire(Stavio::kDBSync, 4);
    EXPECT_EQ(sweeps.updates, 0);
    EXPECT_EQ(control->DBSyncTicks, 4);
    control->bMWISyncBusy = false;
    fire(Stavio::kDBSync);
    EXPECT_EQ(sweeps.updates, 1);
}

// The guards against overlapping sweeps, as the thread's message loop can
// deliver a tick while a sweep waits on another process. A tick already on its
// way when its timer is switched off still arrives, so each guard must hold
// on its own.
TEST_F(StavioTimersTest, WhileTheSynchronisationSweepRunsEveryTimerIsOff) {
    std::vector<const char*> enabledDuringSweep, tickedDuringSweep;
    control->sweeps.SweepForUpdates = [&] {
        ++sweeps.updates;
        for (const char* t : {Stavio::kLogSweep, Stavio::kArchiveSweep, Stavio::kDBSync, Stavio::kMWISync,
                              Stavio::kNewGuestMessage}) {
            if (timers->enabled(QLatin1String(t))) enabledDuringSweep.push_back(t);
            if (timers->fire(QLatin1String(t))) tickedDuringSweep.push_back(t);
        }
    };
    clock->set(QDateTime(QDate(2026, 12, 6), QTime(2, 30)));  // inside the archive and log windows
    fire(Stavio::kDBSync, 3);
    EXPECT_EQ(sweeps.updates, 1);
    EXPECT_TRUE(enabledDuringSweep.empty()) << enabledDuringSweep.front();
    EXPECT_TRUE(tickedDuringSweep.empty()) << tickedDuringSweep.front();
    EXPECT_EQ(sweeps.roomDeletes + sweeps.logDeletes + sweeps.welcome, 0);
    for (const char* t : {Stavio::kLogSweep, Stavio::kArchiveSweep, Stavio::kDBSync, Stavio::kMWISync,
                          Stavio::kNewGuestMessage})
        EXPECT_TRUE(timers->enabled(QLatin1String(t))) << t;  // all on again afterwards
}

TEST_F(StavioTimersTest, ALampTickDuringTheSynchronisationSweepDoesNotSweep) {
    control->sweeps.SweepForUpdates = [&] {
        ++sweeps.updates;
        for (int i = 0; i < 12; ++i) timers->deliver(QLatin1String(Stavio::kMWISync));
    };
    fire(Stavio::kDBSync, 3);
    EXPECT_EQ(sweeps.updates, 1);
    EXPECT_EQ(sweeps.lamps, 0);
    EXPECT_EQ(control->MWISyncTicks, 12);  // counted, not lost
    EXPECT_FALSE(control->bDBSyncBusy);
    fire(Stavio::kMWISync);  // the first lamp tick afterwards sweeps
    EXPECT_EQ(sweeps.lamps, 1);
}

TEST_F(StavioTimersTest, ASynchronisationTickDuringTheLampSweepDoesNotSweep) {
    control->sweeps.SweepForMWIUpdatesToPMS = [&] {
        ++sweeps.lamps;
        for (int i = 0; i < 5; ++i) fire(Stavio::kDBSync);
    };
    fire(Stavio::kMWISync, 10);
    EXPECT_EQ(sweeps.lamps, 1);
    EXPECT_EQ(sweeps.updates, 0);
    EXPECT_EQ(control->DBSyncTicks, 5);  // the count stays, so the next tick sweeps
    EXPECT_FALSE(control->bMWISyncBusy);
    fire(Stavio::kDBSync);
    EXPECT_EQ(sweeps.updates, 1);
}

TEST_F(StavioTimersTest, TheSynchronisationTickStartsANewLogWhenItsFolderWasRemoved) {
    control->state().log.folder = folder() + QStringLiteral("/logs/");
    control->state().log.StartLogFile(control->state().log.GenerateNewLogFileName());
    const QString first = control->state().log.CurrentLogFile();
    control->sweeps.SweepForUpdates = [&] {
        ++sweeps.updates;
        modLogging::MyDiagnosticLog(QStringLiteral("swept"), modLogging::EVENT_SYNC_DEBUG, QString(), QString(), true);
    };
    ASSERT_TRUE(QDir(folder() + QStringLiteral("/logs")).removeRecursively());

    clock->set(QDateTime(QDate(2026, 12, 6), QTime(7, 40)));
    fire(Stavio::kDBSync, 2);  // no sweep yet: nothing is looked at
    EXPECT_FALSE(QFileInfo::exists(folder() + QStringLiteral("/logs")));
    fire(Stavio::kDBSync);
    const QString second = folder() + QStringLiteral("/logs/VoxarenStavio_Log_20261206_07_40_00.TXT");
    EXPECT_EQ(control->state().log.CurrentLogFile(), second);
    EXPECT_NE(second, first);
    EXPECT_EQ(platform::machineRegistry().value(QLatin1String(kSettingsKey), QStringLiteral("CurrentLogFile"))->text,
              second);
    EXPECT_TRUE(readFile(second).endsWith(QStringLiteral("7:40:00 AM,1019,SYNC_DEBUG,,,swept\r\n")));
    EXPECT_TRUE(events.entries.empty()) << events.entries.front().text.toStdString();
}

TEST(StavioWindow, SecondsOfTheDayBetweenStartAndStop) {
    const auto t = [](int h, int m, int s) { return QDateTime(QDate(2026, 12, 6), QTime(h, m, s)); };
    const auto setting = [](int h, int m, int s) { return QDateTime(QDate(2000, 1, 1), QTime(h, m, s)); };
    EXPECT_TRUE(Stavio::InsideWindow(t(1, 0, 0), setting(1, 0, 0), setting(4, 0, 0)));
    EXPECT_TRUE(Stavio::InsideWindow(t(4, 0, 0), setting(1, 0, 0), setting(4, 0, 0)));
    EXPECT_FALSE(Stavio::InsideWindow(t(4, 0, 1), setting(1, 0, 0), setting(4, 0, 0)));
    EXPECT_TRUE(Stavio::InsideWindow(t(2, 30, 15), setting(2, 30, 15), setting(2, 30, 15)));
    EXPECT_FALSE(Stavio::InsideWindow(t(2, 30, 16), setting(2, 30, 15), setting(2, 30, 15)));
    for (int h = 0; h < 24; ++h)  // a window whose start lies after its stop never opens
        EXPECT_FALSE(Stavio::InsideWindow(t(h, 0, 0), setting(23, 0, 0), setting(1, 0, 0)));
}

TEST_F(StavioTimersTest, ArchiveAndLogTicksActOnlyInsideTheirWindows) {
    control->state().log.folder = folder() + QStringLiteral("/logs/");
    clock->set(QDateTime(QDate(2026, 12, 6), QTime(0, 30)));
    control->state().log.StartLogFile(control->state().log.GenerateNewLogFileName());
    const QString first = control->state().log.CurrentLogFile();

    clock->set(QDateTime(QDate(2026, 12, 6), QTime(1, 0, 0)));  // archive 1:00-4:00, logs 2:00-4:00
    fire(Stavio::kArchiveSweep);
    fire(Stavio::kLogSweep);
    EXPECT_EQ(sweeps.roomDeletes, 1);
    EXPECT_EQ(sweeps.logDeletes, 0);
    EXPECT_EQ(control->state().log.CurrentLogFile(), first);

    clock->set(QDateTime(QDate(2026, 12, 7), QTime(0, 59, 59)));  // a new day, not yet in the window
    fire(Stavio::kArchiveSweep);
    EXPECT_EQ(control->state().log.CurrentLogFile(), first);
    clock->set(QDateTime(QDate(2026, 12, 7), QTime(1, 0, 50)));
    fire(Stavio::kArchiveSweep);
    EXPECT_EQ(sweeps.roomDeletes, 2);
    EXPECT_EQ(control->state().log.CurrentLogFile(),
              folder() + QStringLiteral("/logs/VoxarenStavio_Log_20261207_01_00_50.TXT"));
    clock->advanceMs(50023);
    fire(Stavio::kArchiveSweep);  // the same day: no further change-over
    EXPECT_EQ(logFiles().size(), 2);
    clock->set(QDateTime(QDate(2026, 12, 7), QTime(3, 0)));
    fire(Stavio::kLogSweep);
    EXPECT_EQ(sweeps.logDeletes, 1);
}

TEST_F(StavioTimersTest, PauseContinueStopAndShutdown) {
    control->OnPause();
    EXPECT_TRUE(timers->enabled(QLatin1String(Stavio::kNewGuestMessage)));
    for (const char* t : {Stavio::kDBSync, Stavio::kMWISync, Stavio::kArchiveSweep, Stavio::kLogSweep})
        EXPECT_FALSE(timers->enabled(QLatin1String(t))) << t;
    fire(Stavio::kNewGuestMessage);
    EXPECT_EQ(sweeps.welcome, 1);
    control->OnContinue();
    EXPECT_TRUE(timers->enabled(QLatin1String(Stavio::kDBSync)));
    EXPECT_EQ(control->OnControl(200), 0);
    control->OnShutdown();
    EXPECT_FALSE(timers->enabled(QLatin1String(Stavio::kNewGuestMessage)));
    control->OnContinue();
    control->OnStop();
    for (const char* t : {Stavio::kDBSync, Stavio::kMWISync, Stavio::kArchiveSweep, Stavio::kLogSweep, Stavio::kNewGuestMessage})
        EXPECT_FALSE(timers->enabled(QLatin1String(t))) << t;
    EXPECT_EQ(eventIds(), QStringList({"3", "1", "2", "1", "2"}));
    EXPECT_EQ(eventTexts(), QStringList({"", "", "", "", "Orvanta Voxaren Stavio service stopped"}));
}

}  // namespace

namespace {

TEST(TimerScale, MultipliesTheIntervalsOnlyByAPositiveFactor) {
    EXPECT_EQ(QtTimerFactory(0.05).create(QStringLiteral("timerDBSync"), 60001)->interval(), 3000);
    EXPECT_EQ(QtTimerFactory(0.05).create(QStringLiteral("timerMWISync"), 30000)->interval(), 1500);
    EXPECT_EQ(QtTimerFactory(1).create(QStringLiteral("timerDBSync"), 60001)->interval(), 60001);
    EXPECT_EQ(QtTimerFactory(0).create(QStringLiteral("timerDBSync"), 60001)->interval(), 60001);
    EXPECT_EQ(QtTimerFactory(-2).create(QStringLiteral("timerDBSync"), 60001)->interval(), 60001);
    EXPECT_EQ(QtTimerFactory(1e-9).create(QStringLiteral("timerDBSync"), 60001)->interval(), 1);

    const QByteArray saved = qgetenv("STAVIO_TIMER_SCALE");
    for (const auto& [text, scale] : std::vector<std::pair<const char*, double>>{
             {"0.05", 0.05}, {"2", 2.0}, {"0", 1.0}, {"-1", 1.0}, {"fast", 1.0}, {"", 1.0}, {"inf", 1.0}}) {
        qputenv("STAVIO_TIMER_SCALE", text);
        EXPECT_DOUBLE_EQ(QtTimerFactory::scaleFromEnvironment(), scale) << text;
    }
    if (saved.isNull()) qunsetenv("STAVIO_TIMER_SCALE"); else qputenv("STAVIO_TIMER_SCALE", saved);
}

}  // namespace
