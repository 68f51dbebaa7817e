#pragma once
// The service's daily diagnostic log file: its name, header, change-over and
// the pruning of old files.
#include <QDateTime>
#include <QString>

namespace DiagnosticLogFile {

inline constexpr const char* kCurrentLogFileValue = "CurrentLogFile";

// Folder (the process-wide log folder) + "VoxarenStavio_Log_yyyymmdd_hh_mm_ss.TXT"
// for now; creates the folder's last level when missing and prunes old files.
QString GenerateNewLogFileName();

// Starts a new file at `path` (replacing any file there), writes the header
// and records the path as "CurrentLogFile".
void StartLogFile(const QString& path);
void CloseLogFile();

// Deletes files in the component's "logs" folder older than the retention days.
void CleanupLogFiles();

// Writes one line (CR LF added). Does nothing when no file is open; raises a
// StavioError when the write fails.
void WriteLine(const QString& line);

bool IsOpen();
QString CurrentLogFile();
QDateTime LogStartDate();

}  // namespace DiagnosticLogFile
