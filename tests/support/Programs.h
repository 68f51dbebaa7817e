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

// Runs a program built beside the tests and waits for it (30 s at most).
ProgramResult runProgram(const QString& name, const QStringList& args);
// Starts a shell command line without waiting.
QProcess* startShell(const QString& commandLine, QObject* parent = nullptr);
