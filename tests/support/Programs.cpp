#include "tests/support/Programs.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>

#include "platform/registry.h"

QProcessEnvironment programEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("STAVIO_REGISTRY"), platform::machineRegistryPath());
    return environment;
}

ProgramResult runProgram(const QString& name, const QStringList& args, const QStringList& environment) {
    QProcess process;
    QProcessEnvironment settings = programEnvironment();
    for (const QString& setting : environment)
        settings.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(settings);
    process.start(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name, args);
    ProgramResult result;
    if (!process.waitForFinished(30000)) {
        process.kill();
        result.err = QStringLiteral("did not finish");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QProcess* startShell(const QString& commandLine, QObject* parent) {
    auto* process = new QProcess(parent);
    process->setProcessEnvironment(programEnvironment());
    process->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
    return process;
}

bool signalProcess(const QProcess& process, int signalNumber) {
    const qint64 pid = process.processId();
    if (process.state() == QProcess::NotRunning || pid <= 0 || pid != pid_t(pid)) {
        ADD_FAILURE() << "no running process to send signal " << signalNumber << " to (process id " << pid << ")";
        return false;
    }
    return ::kill(pid_t(pid), signalNumber) == 0;
}
