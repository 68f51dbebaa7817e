#pragma once
// The audit as a command runs it: the two sides taken from the settings key
// as the service reads it, the drifts found and printed, the drifted rooms
// flagged when asked. The programs that offer the audit parse their own
// command lines and call runAudit.
#include <QString>
#include <QTextStream>
#include <optional>

namespace audit {

// Exit statuses.
inline constexpr int kClean = 0;       // no drift
inline constexpr int kDriftFound = 1;  // at least one drift
// 2 is bad usage, the programs' own.
inline constexpr int kCannotRead = 3;  // a side could not be read (or a room could not be flagged)

struct AuditOptions {
    // Another PMS server than the setting "Precipia Server Name" names.
    std::optional<QString> pmsServer;
    bool csv = false;   // the report as CSV instead of text lines
    bool json = false;  // the report as one JSON object instead
    bool flag = false;  // raise the change flag of each drifted room
};

struct AuditSides {
    QString pmsConnection;
    QString serverConnection;
    // "Mailbox Archive Days" as the service reads it; nothing when the service
    // cannot read the stored number (then `note` says so).
    std::optional<int> archiveDays;
    QString note;
    QString problem;  // why the audit cannot start ("" when it can)
};

// The PMS connection from "Precipia Server Name" (or `pmsServer`), this
// machine's voice-messaging server, and the archive days.
AuditSides sidesFromSettings(const std::optional<QString>& pmsServer);

// Runs the audit in the installed environment: the report on `out`, a reason
// for status 3 or a note on `err` in one line each. With `flag` and CSV or
// JSON, what flagging did goes to `err`, so that `out` stays a clean report.
int runAudit(const AuditOptions& options, QTextStream& out, QTextStream& err);

}  // namespace audit
