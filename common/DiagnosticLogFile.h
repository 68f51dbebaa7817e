#pragma once
// The service's daily diagnostic log file: its name, header, change-over and
// the pruning of old files.
#include <QDateTime>
#include <QString>

namespace DiagnosticLogFile {

// Folder (the process-wide log folder) + "VoxarenStavio_Log_yyyymmdd_hh_mm_ss.TXT"
// for now; creates the folder's last level when missing and prunes old files.
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

bool IsOpen();
QString CurrentLogFile();
QDateTime LogStartDate();

}  // namespace DiagnosticLogFile
