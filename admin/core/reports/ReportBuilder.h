#pragma once
// Building a report from the service's diagnostic logs for a range of days.
//
// The log files are those of the log folder whose names begin with
// "VoxarenStavio_Log_" (any letter case) followed by their day as yyyymmdd.
// They are read in name order, which is the order they were written in.
// The service begins a new file only at a start and in the night's archive
// window, so the last file begun before the first day may hold that day's
// first entries: its entries from the first day on are taken too. The
// report goes into the log folder as <base name>_<yyyy_mm_dd_hh_mm_ss>.csv,
// stamped with the time of the run; since the base name ends with "_" the
// name has two underscores before the stamp.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "admin/core/reports/ReportDefinition.h"

class ErrorTrap;
class QDir;

namespace reports {

// strName + "_" + the current time as yyyy_mm_dd_hh_mm_ss + ".csv".
QString strCreateReportFileName(const QString& strName);

// The day in a log file's name; nullopt when the name is not a log file's.
// An invalid QDate when it is one but its day cannot be read.
std::optional<QDate> logFileDay(const QString& fileName);

struct ReportRequest {
    ReportKind kind = ReportKind::RoomActivity;
    // Ends with "/". The report path is this text followed by the file name;
    // the log files are read from the folder that path lies in.
    QString logFolder;
    QDate startDay;
    QDate stopDay;  // both days included
    // Where the report goes instead of the log folder, when not empty: the
    // file is made or overwritten there.
    QString outputPath;
};

struct ReportResult {
    enum class Status {
        Refused,       // the start day lies after the stop day: nothing was written
        NoLogFolder,   // no log folder (the setting is empty or names none): nothing was written
        CannotWrite,   // the report could not be created or written (reported through the trap)
        Written,
    };
    Status status = Status::Refused;
    QString path;             // the report file, once its name is made
    int filesInRange = 0;     // log files whose day lies in the range, and one begun before with entries in it
    int parsedFiles = 0;      // of those, the files read (a file that cannot be read counts too)
    qint64 linesWritten = 0;  // report lines below the header
};

class ReportBuilder {
public:
    // Failures along the way (a log file that cannot be read, a name whose day
    // cannot be read, a report that cannot be written) are reported through
    // the trap, and the run goes on with the next step.
    explicit ReportBuilder(ErrorTrap& trap) : m_trap(trap) {}

    // Called with 0 of the files in range before the first is read, then
    // after each file.
    void setProgress(std::function<void(int parsed, int inRange)> progress) { m_progress = std::move(progress); }
    // Called once for every 100 lines read over the whole run (see LogScanner).
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }
    void setBlockSize(qsizetype bytes) { m_blockSize = bytes; }

    ReportResult build(const ReportRequest& request);

private:
    struct LogFiles {
        QString begunBefore;  // the last file begun before the first day, or ""
        QStringList inRange;
    };
    LogFiles logFilesFor(const QDir& folder, const ReportRequest& request);

    ErrorTrap& m_trap;
    std::function<void(int, int)> m_progress;
    std::function<void()> m_yield;
    qsizetype m_blockSize = 0;
};

}  // namespace reports
