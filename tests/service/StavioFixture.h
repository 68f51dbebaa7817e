#pragma once
// The Stavio control in-process: fake clock, timers fired by hand, sweeps
// counted instead of run, settings and server version in a private store, and
// a clean voice-messaging server.
#include <QDir>

#include "common/ServiceSettings.h"
#include "platform/registry.h"
#include "service/Stavio.h"
#include "tests/support/ManualTimers.h"
#include "tests/support/ServerFixture.h"

class StavioFixture : public VoxarenTest {
protected:
    StavioFixture() { fakeClockStart = QDateTime(QDate(2026, 12, 6), QTime(7, 5, 9)); }
    void SetUp() override {
        VoxarenTest::SetUp();
        setVersion(0x40000, 0x20068);
        environment().setServiceStateSource(QStringLiteral("MSSQLSERVER"), [this] {
            ++sqlStateReads;
            return sqlState;
        });
        // The control shares the test's environment (it does not own it).
        control = std::make_unique<Stavio>(std::shared_ptr<SystemEnv>(&environment(), [](SystemEnv*) {}), timers);
        control->sweeps = {[this] { ++sweeps.updates; }, [this] { ++sweeps.lamps; }, [this] { ++sweeps.roomDeletes; },
                           [this] { ++sweeps.logDeletes; }, [this] { ++sweeps.welcome; }};
    }
    void TearDown() override {
        control.reset();
        VoxarenTest::TearDown();
    }
    void setVersion(quint32 version, quint32 build) { writeServerVersion(version, build); }
    void setting(const char* name, const platform::RegValue& value) {
        auto& store = platform::machineRegistry();
        store.createKey(QLatin1String(kSettingsKey));
        store.setValue(QLatin1String(kSettingsKey), QLatin1String(name), value);
    }
    QStringList logFiles() { return QDir(folder() + QStringLiteral("/logs")).entryList(QDir::Files, QDir::Name); }
    QStringList eventIds() const {
        QStringList ids;
        for (const auto& e : events.entries) ids << QString::number(e.id);
        return ids;
    }

    std::shared_ptr<ManualTimerFactory> timers = std::make_shared<ManualTimerFactory>();
    std::unique_ptr<Stavio> control;
    struct {
        int updates = 0, lamps = 0, roomDeletes = 0, logDeletes = 0, welcome = 0;
    } sweeps;
    int sqlState = 4;
    int sqlStateReads = 0;
};
