#pragma once
// Running the system's programs from tests.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct ProgramResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// The environment for a program a test starts: this process's, with the
// installed environment's registry store.
QProcessEnvironment programEnvironment();

// Runs a program built beside the tests and waits for it (30 s at most), in
// programEnvironment() with the "NAME=value" settings of `environment` added.
ProgramResult runProgram(const QString& name, const QStringList& args, const QStringList& environment = {});
// Starts a shell command line without waiting.
QProcess* startShell(const QString& commandLine, QObject* parent = nullptr);

// Sends a signal to a process a test started. Fails the test instead (and
// sends nothing) when the process has no id: a finished QProcess reports 0,
// and kill(0, ...) would signal the whole test run.
bool signalProcess(const QProcess& process, int signalNumber);
