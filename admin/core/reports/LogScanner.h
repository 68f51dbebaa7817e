#pragma once
// Reads one diagnostic log file and writes the report's line for every entry
// the report takes. Built for months of logs: the file is read in large blocks
// and split into lines in place; a line is looked at beyond its third field
// only when that field is one of the report's titles.
#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "admin/core/reports/ReportDefinition.h"

namespace reports {

class ReportFile;

class LogScanner {
public:
    LogScanner(const ReportDefinition& report, ReportFile& out);

    // Called after every 100 lines read, counted over every file this scanner
    // reads, so a window can handle its events during a long run.
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }
    // Bytes read at a time (tests use small blocks to split lines across reads).
    void setBlockSize(qsizetype bytes) { m_blockSize = bytes > 0 ? bytes : 1; }

    // Takes only entries whose own time lies on or after `day` (nullopt: every
    // entry), for a file begun before the report's first day.
    void setEntriesFrom(std::optional<QDate> day) { m_entriesFrom = day; }

    // Reads the file to its end as it stands now. A line ends at LF, with or
    // without CR before it; the last line needs no line end. Raises a
    // platform::Error when the file cannot be opened or read; lines taken before
    // a read error stay written.
    void scan(const QString& path);

    qint64 linesRead() const { return m_linesRead; }
    qint64 linesWritten() const { return m_linesWritten; }

private:
    // Counts the line, then takes it when it is one of the report's entries.
    inline void takeLine(const char* begin, const char* end);
    void takeEntry(const char* begin, const char* end);
    // Whether the entry time in [begin, end) passes setEntriesFrom.
    bool onOrAfterFirstDay(const char* begin, const char* end) const;

    const ReportDefinition& m_report;
    ReportFile& m_out;
    std::function<void()> m_yield;
    qsizetype m_blockSize = 1 << 20;
    std::optional<QDate> m_entriesFrom;
    std::vector<char> m_buffer;
    static constexpr int kLinesPerYield = 100;
    qint64 m_linesRead = 0;
    int m_linesToYield = kLinesPerYield;
    qint64 m_linesWritten = 0;
};

}  // namespace reports
