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

// Writes to the system's log facilities as described above; every entry is
// also appended to `extraFile` when it is not empty (by default the file
// STAVIO_EVENTLOG_FILE names).
class SystemEventLog : public EventLog {
public:
    explicit SystemEventLog(QString extraFile = qEnvironmentVariable("STAVIO_EVENTLOG_FILE"));
    void write(const QString& source, int eventId, EventSeverity severity,
               const QString& text) override;

private:
    QString m_extraFile;
};

// The installed environment's event log.
EventLog& eventLog();

// The JSON line written for one entry (no line end).
QByteArray eventLogJsonLine(const QString& time, const QString& source, int eventId,
                            EventSeverity severity, const QString& text);

// The fallback file used where no journal or syslog socket exists.
QString defaultEventLogFile();

}  // namespace platform
