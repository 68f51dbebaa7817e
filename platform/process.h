#pragma once
// Running other programs: wait for one (with a time-out), or start one and
// hear of it only if it fails (opening a file or folder on the desktop).
// Reached through the environment, so tests can give theirs a runner that
// records.
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

struct ProcessOutcome {
    bool waited = false;    // false: it could not be started or waited on
    bool timedOut = false;  // still running when the time-out came (it is left running)
    int exitCode = -1;      // when it ended
    QString errorOutput;    // what it wrote to standard error, when it ended
    bool succeeded() const { return waited && (timedOut || exitCode == 0); }
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // timeoutMs -1 waits without limit.
    virtual ProcessOutcome run(const QString& program, const QStringList& arguments, int timeoutMs,
                               const QString& workingDirectory = QString()) = 0;
    // Starts a program and lets it run. `failed` is called later on this
    // thread when it ends with another exit status than 0 or crashes. False
    // when it cannot be started at all.
    using FailureHandler = std::function<void(const ProcessOutcome&)>;
    virtual bool startWatched(const QString& program, const QStringList& arguments, FailureHandler failed) = 0;
};

// Runs real programs (QProcess).
class SystemProcessRunner : public ProcessRunner {
public:
    ProcessOutcome run(const QString& program, const QStringList& arguments, int timeoutMs,
                       const QString& workingDirectory) override;
    bool startWatched(const QString& program, const QStringList& arguments, FailureHandler failed) override;
};

// The installed environment's process runner.
ProcessRunner& processRunner();

}  // namespace platform
