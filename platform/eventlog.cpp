#include "platform/eventlog.h"

#include <sys/stat.h>
#include <syslog.h>
#include <systemd/sd-journal.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <mutex>

#include "platform/clock.h"
#include "platform/env.h"
#include "platform/registry.h"

namespace platform {

namespace {

bool socketExists(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0 && S_ISSOCK(st.st_mode);
}

int journalPriority(EventSeverity severity) {
    switch (severity) {
        case EventSeverity::Information: return LOG_INFO;
        case EventSeverity::Warning: return LOG_WARNING;
        case EventSeverity::Error: return LOG_ERR;
    }
    return LOG_INFO;
}

std::mutex fileMutex;

bool appendLine(const QString& path, const QByteArray& line) {
    std::lock_guard lock(fileMutex);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    // One write per entry so lines from several processes do not interleave.
    return file.write(line + '\n') == line.size() + 1;
}

}  // namespace

QByteArray eventLogJsonLine(const QString& time, const QString& source, int eventId,
                            EventSeverity severity, const QString& text) {
    QJsonObject entry{{QStringLiteral("time"), time},
                      {QStringLiteral("source"), source},
                      {QStringLiteral("id"), eventId},
                      {QStringLiteral("severity"), static_cast<int>(severity)},
                      {QStringLiteral("text"), text}};
    return QJsonDocument(entry).toJson(QJsonDocument::Compact);
}

QString defaultEventLogFile() {
    return QFileInfo(machineRegistryPath()).absolutePath() + QStringLiteral("/eventlog.jsonl");
}

SystemEventLog::SystemEventLog(QString extraFile) : m_extraFile(std::move(extraFile)) {}

void SystemEventLog::write(const QString& source, int eventId, EventSeverity severity,
                           const QString& text) {
    const QString time = clock().now().toString(Qt::ISODateWithMs);
    const QByteArray json = eventLogJsonLine(time, source, eventId, severity, text);
    const QByteArray src = source.toUtf8();
    const QByteArray msg = text.toUtf8();

    if (socketExists("/run/systemd/journal/socket")) {
        sd_journal_send("MESSAGE=%s", msg.constData(), "PRIORITY=%d", journalPriority(severity),
                        "SYSLOG_IDENTIFIER=%s", src.constData(), "EVENT_ID=%d", eventId, nullptr);
    } else if (socketExists("/dev/log")) {
        openlog(src.constData(), LOG_PID, LOG_DAEMON);
        syslog(journalPriority(severity), "[%d] %s", eventId, msg.constData());
        closelog();
    } else if (!appendLine(defaultEventLogFile(), json)) {
        // Last resort: the error stream that a service manager records.
        fprintf(stderr, "%s\n", json.constData());
    }

    if (!m_extraFile.isEmpty()) appendLine(m_extraFile, json);
}

EventLog& eventLog() { return env().eventLog(); }

}  // namespace platform
