#pragma once
// Reads one diagnostic log file and writes the report's line for every entry
// the report takes. Built for months of logs: the file is read in blocks, each
// block indexed at once (see BlockIndex), and a line is looked at only where
// the index shows it may be an entry; beyond its third field only when that
// field is one of the report's titles.
#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "admin/core/reports/BlockIndex.h"
#include "admin/core/reports/ReportDefinition.h"

namespace reports {

class ReportFile;

class LogScanner {
public:
    LogScanner(const ReportDefinition& report, ReportFile& out);

    // Called once for every 100 lines read, counted over every file this
    // scanner reads, so a window can handle its events during a long run; the
    // calls due in a block are made as the block is read.
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
    // Counts lines read, handing over to the yield after every 100.
    void countLines(int lines);
    // Counts the whole lines of the indexed block at `data` and takes those
    // that are entries of the report; returns where the unfinished last
    // line begins (the block's size when there is none).
    std::size_t takeLines(const char* data);
    // Writes the report's line for the line [begin, end) when it is an entry
    // the report takes.
    void takeEntry(const char* begin, const char* end);
    // Whether the entry time in [begin, end) lies on or after the day set by setEntriesFrom.
    bool onOrAfterFirstDay(const char* begin, const char* end) const;

    const ReportDefinition& m_report;
    ReportFile& m_out;
    std::function<void()> m_yield;
    qsizetype m_blockSize = 256 * 1024;
    std::optional<QDate> m_entriesFrom;
    std::vector<char> m_buffer;
    BlockIndex m_index{m_report};
    static constexpr int kLinesPerYield = 100;
    qint64 m_linesRead = 0;
    int m_linesToYield = kLinesPerYield;
    qint64 m_linesWritten = 0;
};

}  // namespace reports
