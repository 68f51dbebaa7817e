#pragma once
// A whole embedded system in the test's folder (scripts/embedded-env.sh): the
// registry store, both stand-ins, saved settings and the registered plug-in,
// with the real programs run as processes.
#include <QProcess>
#include <functional>
#include <QProcessEnvironment>

#include "tests/support/NotifyListener.h"
#include "tests/support/TestEnvironment.h"

class EmbeddedSystemTest : public StavioTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a program of the build with the system's environment; its exit code.
    int run(const QString& program, const QStringList& args, QString* out = nullptr);
    // Starts the service in the foreground, as systemd would.
    void startService();
    // Waits (10 s at most) for the service's state file to show `state`.
    bool waitForState(int state);
    // waitUntil while reading the service's state reports as systemd does: a
    // service whose reports nobody reads would wait to send the next one.
    bool waitServing(const std::function<bool()>& condition, int timeoutMs = 10000);
    void pauseServing(int ms) { waitServing([] { return false; }, ms); }
    // Waits for the service to end, reading its state reports meanwhile as
    // systemd does (a report waits while systemd's queue is full).
    bool waitForExit(int timeoutMs);
    // Fails the test (sending nothing) when the service has no process.
    bool signalService(int signalNumber);
    QString currentLogFile();
    QStringList eventLogTexts(const QString& source = QStringLiteral("OrvantaVoxaren_Stavio"));
    QStringList eventLogIds(const QString& source = QStringLiteral("OrvantaVoxaren_Stavio"));

    // The folder of the programs and the plug-in: the build's, unless a test
    // sets another before SetUp.
    QString programs;
    QProcessEnvironment env;
    QProcess service;
    std::unique_ptr<NotifyListener> systemd;
};
