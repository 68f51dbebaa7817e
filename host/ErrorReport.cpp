#include "host/ErrorReport.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "platform/eventlog.h"

QString errorReportText(const QString& message, const std::optional<ErrorCode>& code) {
    if (!code) return message;
    QString system;
    switch (code->kind) {
        case ErrorCode::Errno: system = QString::fromLocal8Bit(strerror(code->value)); break;
        case ErrorCode::Result: system = platform::com::resultText(code->value); break;
        case ErrorCode::ServiceManager: system = code->text; break;
    }
    return system.isEmpty() ? message : message + QStringLiteral(" - ") + system;
}

void reportError(const QString& message, const std::optional<ErrorCode>& code) {
    const QString text = errorReportText(message, code);
    fputs(text.toLocal8Bit().constData(), stdout);
    // On a terminal the line is ended, so the shell's prompt does not follow
    // it on the same line; what a program reading the output gets stays as it was.
    if (isatty(STDOUT_FILENO)) fputc('\n', stdout);
    fflush(stdout);
    platform::eventLog().write(QStringLiteral("Vesselrun"), 0, platform::EventSeverity::Warning, text);
}
