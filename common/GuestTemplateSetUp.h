#pragma once
// The hotel guest's class of service and subscriber template on a
// voice-messaging server: found, or built from the server's defaults. The
// caller tells the user what each outcome and notice means.
#include <QString>
#include <functional>

class ErrorTrap;

class GuestTemplateSetUp {
public:
    enum class Outcome {
        Present,  // the template was there already
        Built,
        NoDefaultCos,        // "defaultsubscriber" missing: no class of service to copy
        CosNotCreated,       // the new class of service was not found once after its insert
        NoDefaultTemplate,   // "DefaultTemplate" missing
        TemplateNotCreated,  // the creating procedure gave no row; see failure()
        NoPrimaryHandler,    // the new template's own call handler was not found once
    };
    // What the set-up goes on without.
    enum class Notice { NoOperator, NoSchedule };

    // Every step that can fail runs under `trap`, which reports it.
    GuestTemplateSetUp(ErrorTrap& trap, QString connection, std::function<void(Notice)> notify)
        : m_trap(trap), m_server(std::move(connection)), m_notify(std::move(notify)) {}

    Outcome run();
    // Why the creating procedure failed ("" when it raised no error).
    const QString& failure() const { return m_failure; }

private:
    ErrorTrap& m_trap;
    QString m_server;
    std::function<void(Notice)> m_notify;
    QString m_failure;
};
