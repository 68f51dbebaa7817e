#pragma once
// The whole system under the faults a hotel meets: the real service
// (Vesselrun with the plug-in, timers twenty times faster) against both
// stand-ins, driven by generated hotel traffic, and judged at the end by the
// reconciliation audit.
#include <QElapsedTimer>
#include <QHash>
#include <QPair>
#include <functional>
#include <random>

#include "tests/e2e/E2EFixture.h"

class HarnessTest : public EmbeddedSystemTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Points the service at another PMS server (the embedded default is an SQLite file).
    void usePmsServer(const QString& server);
    QString pmsServer() const { return m_pms; }

    // The gateway stand-in on the PMS server; its exit code.
    int ptce(const QStringList& args, QString* out = nullptr);
    // One batch of generated traffic over the traffic hotel's rooms (1001...).
    void traffic(int rooms, int events, quint32 seed);
    int eventsReplayed() const { return m_events; }

    // Runs the service until it has caught up: no room pending, then a whole
    // synchronisation sweep and a lamp sweep after that. False after `timeoutMs`.
    bool waitUntilQuiet(int timeoutMs);
    // Flagged rooms the sweep still has work for.
    QStringList pendingRooms();
    // The reconciliation audit of the whole system: its exit code and report.
    int audit(QString* report);

    // Waits until a diagnostic line holding one of `texts` is written after
    // the call; false after `timeoutMs`.
    bool waitForLogLine(const QStringList& texts, int timeoutMs);
    // Occupied rooms of the PMS: extension and password.
    QList<QPair<QString, QString>> occupiedRooms();
    // Gives each occupied room's guest that has none a token of its own as its
    // PMS password (the gateway carries a guest's password along through moves
    // and swaps, and keeps it on a rename) and leaves a voice message naming
    // the token in the mailbox on that room. Only while the service is quiet,
    // so that the mailbox on a room is its guest's.
    void markGuests();
    // The occupied rooms whose mailbox holds a message of another guest, or
    // not its own guest's message.
    QStringList ownershipFaults();

    int countInLog(const QString& text);
    // Every diagnostic log the service wrote (it starts a new one at each start).
    QString allLogs();

    std::mt19937 random{20261207};

private:
    QString m_pms;
    int m_events = 0;
    int m_tokens = 0;
    QHash<QString, qint64> m_logRead;  // how far each log file has been read by waitForLogLine
};
