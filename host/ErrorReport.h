#pragma once
// The host's error report: the message, " - " and the system text of the
// code when there is one, printed to standard output and written to the
// event log under the source "Vesselrun" as a warning.
#include <QString>
#include <optional>

#include "platform/com/hresult.h"

struct ErrorCode {
    enum Kind { Errno, Result, ServiceManager } kind;
    int value;
    QString text;  // for ServiceManager codes: the manager's own text
};

inline ErrorCode errnoCode(int value) { return {ErrorCode::Errno, value, {}}; }
inline ErrorCode resultCode(platform::com::HRESULT value) { return {ErrorCode::Result, value, {}}; }
inline ErrorCode managerCode(int value, const QString& text) { return {ErrorCode::ServiceManager, value, text}; }

// The text as reported.
QString errorReportText(const QString& message, const std::optional<ErrorCode>& code);
void reportError(const QString& message, const std::optional<ErrorCode>& code = std::nullopt);
