#include "platform/process.h"

#include <QProcess>
#include <memory>

namespace platform {

namespace {

class RealProcessRunner : public ProcessRunner {
public:
    ProcessOutcome run(const QString& program, const QStringList& arguments, int timeoutMs,
                       const QString& workingDirectory) override {
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
    bool startDetached(const QString& program, const QStringList& arguments) override {
        return QProcess::startDetached(program, arguments);
    }
};

std::shared_ptr<ProcessRunner>& current() {
    static std::shared_ptr<ProcessRunner> instance = std::make_shared<RealProcessRunner>();
    return instance;
}

}  // namespace

ProcessRunner& processRunner() { return *current(); }

void setProcessRunner(std::shared_ptr<ProcessRunner> replacement) {
    current() = replacement ? std::move(replacement) : std::make_shared<RealProcessRunner>();
}

}  // namespace platform
