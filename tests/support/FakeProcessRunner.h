#pragma once
// Records the programs a window runs and answers with scripted outcomes.
#include <QStringList>
#include <deque>
#include <optional>

#include "platform/process.h"

class FakeProcessRunner : public platform::ProcessRunner {
public:
    struct Call {
        QString program;
        QStringList arguments;
        int timeoutMs;
        QString workingDirectory;
        bool detached;
    };

    platform::ProcessOutcome run(const QString& program, const QStringList& arguments, int timeoutMs,
                                 const QString& workingDirectory) override {
        calls.push_back({program, arguments, timeoutMs, workingDirectory, false});
        if (outcomes.empty()) return {true, false, 0, {}};
        const platform::ProcessOutcome o = outcomes.front();
        outcomes.pop_front();
        return o;
    }
    bool startWatched(const QString& program, const QStringList& arguments, FailureHandler failed) override {
        calls.push_back({program, arguments, -1, QString(), true});
        if (startsWatched && watchedFailure) failed(*watchedFailure);
        return startsWatched;
    }
    // "program arg1 arg2" of each call.
    QStringList commandLines() const {
        QStringList lines;
        for (const Call& c : calls) lines << (QStringList{c.program} + c.arguments).join(QLatin1Char(' '));
        return lines;
    }

    std::vector<Call> calls;
    std::deque<platform::ProcessOutcome> outcomes;  // unscripted runs end with exit code 0
    bool startsWatched = true;                       // false: a watched program cannot be started
    std::optional<platform::ProcessOutcome> watchedFailure;  // how a started watched program fails
};
