#pragma once
// Running other programs: wait for one (with a time-out), or start one and
// let it go (opening a file or folder on the desktop). Reached through the
// environment, so tests can give theirs a runner that records.
#include <QString>
#include <QStringList>

namespace platform {

struct ProcessOutcome {
    bool waited = false;    // false: it could not be started or waited on
    bool timedOut = false;  // still running when the time-out came (it is left running)
    int exitCode = -1;      // when it ended
    bool succeeded() const { return waited && (timedOut || exitCode == 0); }
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // timeoutMs -1 waits without limit.
    virtual ProcessOutcome run(const QString& program, const QStringList& arguments, int timeoutMs,
                               const QString& workingDirectory = QString()) = 0;
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

// Runs real programs (QProcess).
class SystemProcessRunner : public ProcessRunner {
public:
    ProcessOutcome run(const QString& program, const QStringList& arguments, int timeoutMs,
                       const QString& workingDirectory) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
};

// The installed environment's process runner.
ProcessRunner& processRunner();

}  // namespace platform
