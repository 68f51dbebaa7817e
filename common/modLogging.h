#pragma once
// The event-id table and the two log calls every procedure uses: the event log
// (source "OrvantaVoxaren_Stavio") and the diagnostic log file.
#include <QDateTime>
#include <QString>

namespace modLogging {

inline constexpr const char* kEventSource = "OrvantaVoxaren_Stavio";

enum EventId : short {
    EVENT_START_UP = 1,
    EVENT_SHUT_DOWN = 2,
    EVENT_PAUSED = 3,
    EVENT_ERROR = 4,
    EVENT_SERVICE_STARTING = 5,  // written without title at start
    EVENT_CHECK_IN = 1003,
    EVENT_CHECK_OUT = 1004,
    EVENT_ROOM_MOVE = 1005,
    EVENT_ROOM_SWAP = 1006,
    EVENT_CHECK_IN_DEBUG = 1007,
    EVENT_CHECK_OUT_DEBUG = 1008,
    EVENT_ROOM_MOVE_DEBUG = 1009,
    EVENT_ROOM_SWAP_DEBUG = 1010,
    EVENT_SYNC_START = 1011,
    EVENT_SYNC_FINISHED = 1012,
    EVENT_ROOM_DELETE = 1013,
    EVENT_PASSWORD_RESET = 1014,
    EVENT_ROOM_DELETE_DEBUG = 1015,
    EVENT_PASSWORD_RESET_DEBUG = 1016,
    EVENT_LOG_DELETE = 1017,
    EVENT_LOG_DELETE_DEBUG = 1018,
    EVENT_SYNC_DEBUG = 1019,
    EVENT_ROOM_UPDATE = 1020,
    EVENT_MWI_SYNC_START = 1021,
    EVENT_MWI_SYNC_FINISHED = 1022,
    EVENT_MWI_SYNC_DEBUG = 1023,
};

enum Severity : short { SEVERITY_INFORMATION = 1, SEVERITY_WARNING = 2, SEVERITY_ERROR = 3 };

// The title of an event id, or "[invalid event id]".
QString ConvertEventIDToString(int eventId);

// Registers the event source on this machine and readies the event writer.
void startEventLog();

// One event-log entry (severities 1 to 3 only; any other writes none) and,
// when asked, the same text as a diagnostic-log entry line.
void LogServiceEvent(short eventId, short severity, const QString& text, bool alsoToDiagnosticLog);

// An event-log entry only, as the control's own event writer makes it.
void WriteEventLogOnly(short eventId, short severity, const QString& text);

// One line in the open diagnostic log: the entry line when formatted, else the
// text alone. Goes nowhere before a log file is started. A failing write is
// reported through the event log by this procedure's trap, once until a write
// works again, and never leads into another diagnostic write.
void MyDiagnosticLog(const QString& text, short eventId, const QString& primaryRoom,
                     const QString& secondaryRoom, bool formatted);

// A *_DEBUG line: written to the diagnostic log only while "Debug Mode" is on.
void DebugLog(short eventId, const QString& text, const QString& primaryRoom = QString(),
              const QString& secondaryRoom = QString());

// The entry line for the given moment (no line end).
QString FormatEntryLine(const QDateTime& when, short eventId, const QString& primaryRoom,
                        const QString& secondaryRoom, const QString& text);

}  // namespace modLogging
