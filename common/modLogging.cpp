#include "common/modLogging.h"

#include <QHash>

#include "common/DiagnosticLogFile.h"
#include "common/ErrorTrap.h"
#include "common/SystemEnv.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "platform/eventlog.h"
#include "platform/registry.h"

namespace modLogging {

namespace {

const QHash<int, QString>& titles() {
    static const QHash<int, QString> table{
        {1, QStringLiteral("START_UP")},
        {2, QStringLiteral("SHUT_DOWN")},
        {3, QStringLiteral("PAUSED")},
        {4, QStringLiteral("ERROR")},
        {1003, QStringLiteral("CHECK_IN")},
        {1004, QStringLiteral("CHECK_OUT")},
        {1005, QStringLiteral("ROOM_MOVE")},
        {1006, QStringLiteral("ROOM_SWAP")},
        {1007, QStringLiteral("CHECK_IN_DEBUG")},
        {1008, QStringLiteral("CHECK_OUT_DEBUG")},
        {1009, QStringLiteral("ROOM_MOVE_DEBUG")},
        {1010, QStringLiteral("ROOM_SWAP_DEBUG")},
        {1011, QStringLiteral("SYNC_START")},
        {1012, QStringLiteral("SYNC_FINISHED")},
        {1013, QStringLiteral("ROOM_DELETE")},
        {1014, QStringLiteral("PASSWORD_RESET")},
        {1015, QStringLiteral("ROOM_DELETE_DEBUG")},
        {1016, QStringLiteral("PASSWORD_RESET_DEBUG")},
        {1017, QStringLiteral("LOG_DELETE")},
        {1018, QStringLiteral("LOG_DELETE_DEBUG")},
        {1019, QStringLiteral("SYNC_DEBUG")},
        {1020, QStringLiteral("ROOM_UPDATE")},
        {1021, QStringLiteral("MWI_SYNC_START")},
        {1022, QStringLiteral("MWI_SYNC_FINISHED")},
        {1023, QStringLiteral("MWI_SYNC_DEBUG")},
    };
    return table;
}

// A failing diagnostic write reports through the event log and, from there,
// asks for a diagnostic line again; that second write must go nowhere.
thread_local bool insideDiagnosticWrite = false;

const char* const kEventLogRoot = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";

}  // namespace

QString ConvertEventIDToString(int eventId) {
    return titles().value(eventId, QStringLiteral("[invalid event id]"));
}

void startEventLog() {
    ErrorTrap trap("startEventLog", "Module", "modLogging");
    trap.step([] {
        // The counterpart of registering an event source: record it, with the
        // files that describe its messages, where the machine's sources are kept.
        const QString key = QLatin1String(kEventLogRoot) + QLatin1String(kEventSource);
        const QString folder = systemEnv().componentFolder();
        platform::RegistryStore& store = platform::machineRegistry();
        store.createKey(key);
        store.setValue(key, QStringLiteral("EventMessageFile"),
                       platform::RegValue::sz(folder + QStringLiteral("/EVT_Stavio.dll")));
        store.setValue(key, QStringLiteral("CategoryMessageFile"),
                       platform::RegValue::sz(folder + QStringLiteral("/CAT_Stavio.dll")));
        store.setValue(key, QStringLiteral("ParameterMessageFile"),
                       platform::RegValue::sz(folder + QStringLiteral("/PARAM_Stavio.dll")));
        store.setValue(key, QStringLiteral("CategoryCount"), platform::RegValue::fromDword(1));
        store.setValue(key, QStringLiteral("TypesSupported"), platform::RegValue::fromDword(5));
    });
}

void WriteEventLogOnly(short eventId, short severity, const QString& text) {
    if (severity < SEVERITY_INFORMATION || severity > SEVERITY_ERROR) return;
    platform::eventLog().write(QLatin1String(kEventSource), eventId,
                               static_cast<platform::EventSeverity>(severity), text);
}

void LogServiceEvent(short eventId, short severity, const QString& text, bool alsoToDiagnosticLog) {
    WriteEventLogOnly(eventId, severity, text);
    if (alsoToDiagnosticLog) MyDiagnosticLog(text, eventId, QString(), QString(), true);
}

void DebugLog(short eventId, const QString& text, const QString& primaryRoom, const QString& secondaryRoom) {
    const DiagnosticLogFile* log = systemEnv().diagnosticLog;
    if (log && log->debugMode()) MyDiagnosticLog(text, eventId, primaryRoom, secondaryRoom, true);
}

namespace {

// One entry, one line: a line break in a field (a guest's name from the PMS,
// or a message of two lines) becomes a blank, so nothing can write a line
// that reads as another entry.
QString oneLine(const QString& field) {
    if (!field.contains(QLatin1Char('\r')) && !field.contains(QLatin1Char('\n'))) return field;
    QString line = field;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

}  // namespace

QString FormatEntryLine(const QDateTime& when, short eventId, const QString& primaryRoom,
                        const QString& secondaryRoom, const QString& text) {
    return platform::datefmt::generalDate(when) + QLatin1Char(',') + QString::number(eventId) +
           QLatin1Char(',') + ConvertEventIDToString(eventId) + QLatin1Char(',') + oneLine(primaryRoom) +
           QLatin1Char(',') + oneLine(secondaryRoom) + QLatin1Char(',') + oneLine(text);
}

void MyDiagnosticLog(const QString& text, short eventId, const QString& primaryRoom,
                     const QString& secondaryRoom, bool formatted) {
    DiagnosticLogFile* log = systemEnv().diagnosticLog;
    if (!log || insideDiagnosticWrite) return;
    insideDiagnosticWrite = true;
    ErrorTrap trap("MyDiagnosticLog", "Module", "modLogging");
    trap.step([&] {
        try {
            log->WriteLine(formatted ? FormatEntryLine(platform::clock().now(), eventId,
                                                       primaryRoom, secondaryRoom, text)
                                     : text);
        } catch (const platform::Error&) {
            // A failing log is reported once, and again only after it has worked.
            if (log->FirstFailureSinceAWrite()) throw;
        }
    });
    insideDiagnosticWrite = false;
}

}  // namespace modLogging
