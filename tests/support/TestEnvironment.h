#pragma once
// Test fixtures: a private registry store and folder per test, and an event
// log that records what it is given.
#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <QStringList>
#include <ostream>
#include <QTemporaryDir>
#include <vector>

#include "platform/eventlog.h"

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

// Each test gets its own folder and registry store (STAVIO_REGISTRY), an event
// log that records, and the service's process state reset.
class StavioTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString folder() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // A program built beside the tests.
    static QString binary(const QString& name);
    // Texts of recorded event-log entries.
    QStringList eventTexts() const;

    RecordingEventLog events;

private:
    QTemporaryDir m_dir;
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
