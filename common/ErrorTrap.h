#pragma once
// The error trap every procedure ends in: a failing step is reported as
//   "(error):" + number + " (" + description + ") in procedure " + name
//   + " of " + kind + " " + unit
// (a few procedures write their name alone, without " of " kind and unit)
// and the procedure goes on with its next step. Errors never leave a procedure.
#include <QString>
#include <exception>
#include <functional>

#include "common/ErrorNumbers.h"

class ErrorTrap {
public:
    using Sink = std::function<void(const QString& message)>;

    // kind is "Module", "Form" or "User Control".
    ErrorTrap(const char* procedure, const char* kind, const char* unit)
        : m_procedure(procedure), m_kind(kind), m_unit(unit) {}
    // A trap whose reports end with the procedure's name.
    explicit ErrorTrap(const char* procedure) : m_procedure(procedure) {}

    // Runs one step; an error it raises is reported and false returned.
    template <class Step>
    bool step(Step&& body) noexcept {
        try {
            body();
            return true;
        } catch (const platform::Error& e) {
            report(e.number(), e.description());
        } catch (const std::exception& e) {
            report(errnum::InternalError, QString::fromUtf8(e.what()));
        } catch (...) {
            report(errnum::InternalError, QStringLiteral("Unknown error"));
        }
        return false;
    }

    void report(int number, const QString& description) const;
    QString message(int number, const QString& description) const;
    int errors() const { return m_errors; }
    // The description of the last error reported ("" while there was none),
    // as a procedure quotes "the description of the current error".
    const QString& lastDescription() const { return m_lastDescription; }

    // Reports go to the environment's error sink (SystemEnv::errorSink);
    // without one, an error entry (event id 4) to the event log and the
    // diagnostic log. The administration's sink shows a message.

private:
    const char* m_procedure;
    const char* m_kind = nullptr;
    const char* m_unit = nullptr;
    mutable int m_errors = 0;
    mutable QString m_lastDescription;
};

// An error entry of the system's own (event id 4): to the environment's error
// sink when it has one (the administration shows it), else to the event log
// and the diagnostic log.
void ReportError(const QString& text);
