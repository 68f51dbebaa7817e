#include "platform/process.h"

#include <QProcess>
#include <memory>

#include "platform/env.h"

namespace platform {

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
    return outcome;
}

bool SystemProcessRunner::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

ProcessRunner& processRunner() { return env().processes(); }

}  // namespace platform
