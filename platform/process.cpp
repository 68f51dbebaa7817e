#include "platform/process.h"

#include <QProcess>
#include <memory>

#include "platform/env.h"

namespace platform {

namespace {
constexpr qsizetype kKeptErrorOutput = 4096;
}  // namespace

ProcessOutcome SystemProcessRunner::run(const QString& program, const QStringList& arguments, int timeoutMs,
                                        const QString& workingDirectory) {
    ProcessOutcome outcome;
    auto process = std::make_unique<QProcess>();
    if (!workingDirectory.isEmpty()) process->setWorkingDirectory(workingDirectory);
    process->start(program, arguments);
    if (!process->waitForStarted()) return outcome;
    outcome.waited = true;
    if (!process->waitForFinished(timeoutMs) && process->state() != QProcess::NotRunning) {
        // The wait is over but the program goes on: it is released, not ended,
        // and its process object goes once it finishes.
        outcome.timedOut = true;
        QProcess* running = process.release();
        QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
        return outcome;
    }
    outcome.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    outcome.errorOutput = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
    return outcome;
}

bool SystemProcessRunner::startWatched(const QString& program, const QStringList& arguments, FailureHandler failed) {
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(program, arguments);
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    // The process object goes once the program ends; while it runs it keeps
    // no more than the last few kilobytes of the program's error output.
    auto errorOutput = std::make_shared<QByteArray>();
    QObject::connect(process, &QProcess::readyReadStandardError, process, [process, errorOutput] {
        errorOutput->append(process->readAllStandardError());
        if (errorOutput->size() > kKeptErrorOutput) errorOutput->remove(0, errorOutput->size() - kKeptErrorOutput);
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, errorOutput, failed = std::move(failed)](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status == QProcess::NormalExit && exitCode == 0) return;
                         errorOutput->append(process->readAllStandardError());
                         ProcessOutcome outcome;
                         outcome.waited = true;
                         outcome.exitCode = status == QProcess::NormalExit ? exitCode : -1;
                         outcome.errorOutput = QString::fromLocal8Bit(*errorOutput).trimmed();
                         if (failed) failed(outcome);
                     });
    return true;
}

ProcessRunner& processRunner() { return env().processes(); }

}  // namespace platform
