#pragma once
// A guest's standard greeting rule on the voice-messaging server: the rule
// of its call handler that plays its greeting. Each call raises
// platform::Error when the server cannot be asked.
#include <QString>

class GreetingRule {
public:
    // Points the call handler's standard rule at `file` (a name in the
    // server's stream files), played from now on and without end. False
    // when the handler has not exactly one standard rule.
    static bool playFile(const QString& connection, const QString& callHandler,
                         const QString& file);
    // The file the subscriber's standard rule plays ("" when it has none).
    static QString fileOf(const QString& connection, const QString& subscriberObjectId);
};
