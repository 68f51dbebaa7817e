#include "tests/support/Programs.h"

#include <QCoreApplication>

#include "platform/registry.h"

QProcessEnvironment programEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("STAVIO_REGISTRY"), platform::machineRegistryPath());
    return environment;
}

ProgramResult runProgram(const QString& name, const QStringList& args) {
    QProcess process;
    process.setProcessEnvironment(programEnvironment());
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
