#pragma once
// The machine's event log: journald when its socket is there, syslog when only
// /dev/log is, otherwise a file beside the registry store, so that an entry is
// never silently lost. With env STAVIO_EVENTLOG_FILE set, every entry is also
// appended to that file as one JSON line {time, source, id, severity, text}.
#include <QString>

namespace platform {

enum class EventSeverity : int { Information = 1, Warning = 2, Error = 3 };

class EventLog {
public:
    virtual ~EventLog() = default;
    virtual void write(const QString& source, int eventId, EventSeverity severity,
                       const QString& text) = 0;
};

// Writes to the system's log facilities as described above.
class SystemEventLog : public EventLog {
public:
    void write(const QString& source, int eventId, EventSeverity severity,
               const QString& text) override;
};

// The process-wide event log (a SystemEventLog unless replaced).
EventLog& eventLog();
void setEventLog(EventLog* replacement);  // nullptr restores the system log

// The JSON line written for one entry (no line end).
QByteArray eventLogJsonLine(const QString& time, const QString& source, int eventId,
                            EventSeverity severity, const QString& text);

// The fallback file used where no journal or syslog socket exists.
QString defaultEventLogFile();

}  // namespace platform
