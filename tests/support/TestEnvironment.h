#pragma once
// Test fixtures: each test gets its own folder and an environment of its own
// (registry store in that folder, an event log that records, fresh service
// state), installed by one guard for the test's length, so nothing a test
// changes outlives it.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "common/ServiceState.h"
#include "common/SystemEnv.h"
#include "platform/eventlog.h"
#include "tests/support/FakeClock.h"

struct RecordedEvent {
    QString source;
    int id;
    platform::EventSeverity severity;
    QString text;
};

class RecordingEventLog : public platform::EventLog {
public:
    void write(const QString& source, int eventId, platform::EventSeverity severity,
               const QString& text) override {
        entries.push_back({source, eventId, severity, text});
    }
    std::vector<RecordedEvent> entries;
};

class StavioTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The environment the fixture installs: a SystemEnv unless a fixture
    // needs more (the administration's tests make an AdminEnv).
    virtual std::unique_ptr<SystemEnv> makeEnv();
    SystemEnv& environment() { return *m_env; }
    // Gives this test's environment a clock that stands at `start` and moves
    // only when told. A fixture that needs it from the start of SetUp sets
    // fakeClockStart in its constructor instead; `clock` is then that clock.
    FakeClock& useFakeClock(const QDateTime& start);
    std::optional<QDateTime> fakeClockStart;
    FakeClock* clock = nullptr;

    QString folder() const { return m_dir.path(); }
    // Leaves the test's folder behind (its path printed) to look into a failure.
    void keepFolderOnFailure() { m_keepOnFailure = true; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // A program built beside the tests.
    static QString binary(const QString& name);
    // Texts of recorded event-log entries.
    QStringList eventTexts() const;

    std::shared_ptr<RecordingEventLog> eventLog = std::make_shared<RecordingEventLog>();
    RecordingEventLog& events = *eventLog;

    // The service's state, as a control would hand it to the procedures;
    // its log is the environment's.
    ServiceState serviceState;

private:
    QTemporaryDir m_dir;
    bool m_keepOnFailure = false;
    std::unique_ptr<SystemEnv> m_env;
    std::optional<platform::ScopedEnv> m_installed;
};

// Writes the voice-messaging server's version and build numbers into the
// registry store, as its installation does.
void writeServerVersion(quint32 versionNumber, quint32 buildNumber);

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[' << list.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString() << ']';
}

// Polls until the condition holds (true) or the time is up (false), for
// tests that wait on other processes.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// Reads a whole file as text.
QString readFile(const QString& path);
