#pragma once
// Records the programs a window runs and answers with scripted outcomes.
#include <QStringList>
#include <deque>

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
        if (outcomes.empty()) return {true, false, 0};
        const platform::ProcessOutcome o = outcomes.front();
        outcomes.pop_front();
        return o;
    }
    bool startDetached(const QString& program, const QStringList& arguments) override {
        calls.push_back({program, arguments, -1, QString(), true});
        return true;
    }
    // "program arg1 arg2" of each call.
    QStringList commandLines() const {
        QStringList lines;
        for (const Call& c : calls) lines << (QStringList{c.program} + c.arguments).join(QLatin1Char(' '));
        return lines;
    }

    std::vector<Call> calls;
    std::deque<platform::ProcessOutcome> outcomes;  // unscripted runs end with exit code 0
};
