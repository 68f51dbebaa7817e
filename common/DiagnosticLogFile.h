#pragma once
// The service's daily diagnostic log file: its name, header, change-over and
// the pruning of old files. The service's control owns one (in its
// ServiceState) and installs it in the environment (SystemEnv::diagnosticLog)
// for the log calls of every procedure; it is used on the service thread only.
#include <QDateTime>
#include <QFile>
#include <QString>
#include <memory>

#include "platform/error.h"

struct ServiceSettings;

class DiagnosticLogFile {
public:
    // The log follows `settings` ("Debug Mode", "Log Retention Days"), which
    // must outlive it.
    explicit DiagnosticLogFile(const ServiceSettings& settings) : m_settings(settings) {}
    DiagnosticLogFile(const DiagnosticLogFile&) = delete;
    DiagnosticLogFile& operator=(const DiagnosticLogFile&) = delete;

    // Where new files go; ends with "/".
    QString folder;

    // Folder + "VoxarenStavio_Log_yyyymmdd_hh_mm_ss.TXT" for now; creates the
    // folder's last level when missing and prunes old files.
    QString GenerateNewLogFileName();

    // Starts a new file at `path` (replacing any file there), writes the header
    // and records the path as "CurrentLogFile". A file that cannot be made is not
    // recorded; the writes that follow fail instead of going nowhere.
    void StartLogFile(const QString& path);
    void CloseLogFile();

    // Starts a new file when the current one is gone (its folder removed while
    // the service runs) or could not be made, creating the folder's last level
    // again. While that folder cannot be made either, the lost file is let go:
    // the writes that follow fail (and say so) instead of going into a file no
    // one can read. Returns whether a new file was started.
    bool RestartIfLost();

    // Deletes files in the component's "logs" folder older than the retention days.
    void CleanupLogFiles();

    // Writes one line (CR LF added). Does nothing before the first file is started
    // (or after it is closed); raises a platform::Error when the write fails, also when
    // the started file could not be made.
    void WriteLine(const QString& line);

    // Whether a failed write is the first since the last one that worked: a
    // failing log is reported once, and again only after it has worked.
    bool FirstFailureSinceAWrite();

    // Whether *_DEBUG lines are written ("Debug Mode").
    bool debugMode() const;

    bool IsOpen() const { return m_stream != nullptr; }
    QString CurrentLogFile() const { return m_path; }
    QDateTime LogStartDate() const { return m_startDate; }

private:
    const ServiceSettings& m_settings;
    std::unique_ptr<QFile> m_stream;
    QString m_path;
    QDateTime m_startDate;
    bool m_started = false;                     // a file was asked for: lines must land in it
    platform::Error m_openError{0, QString()};  // why the started file could not be made
    bool m_failureReported = false;
};
