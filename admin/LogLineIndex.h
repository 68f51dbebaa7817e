#pragma once
// Where each line of a log begins, built from the file's bytes as they
// arrive; the text itself stays in the file. A line ends after its "\n"; a
// last line without one is a line too; an empty file has none.
#include <QByteArrayView>

#include "admin/LineStarts.h"

class LogLineIndex {
public:
    // The next bytes of the file: they begin at size().
    void add(QByteArrayView bytes);

    qsizetype lineCount() const { return m_starts.size(); }
    qint64 lineStart(qsizetype line) const { return m_starts.at(line); }
    // Where the line's bytes end, its line end included: the next line's start,
    // or size() for the last line.
    qint64 lineEnd(qsizetype line) const { return line + 1 < lineCount() ? m_starts.at(line + 1) : m_size; }
    // Bytes indexed.
    qint64 size() const { return m_size; }
    // The most bytes of any line, its line end included.
    qint64 longestLine() const;

    // The index as it is now, to go back to when what was added since turns out void.
    struct Mark {
        qsizetype lines = 0;
        qint64 size = 0;
        qint64 longestEnded = 0;
        bool lastLineEnded = true;
    };
    Mark mark() const { return {lineCount(), m_size, m_longestEnded, m_lastLineEnded}; }
    void rollBack(const Mark& mark);

private:
    void beginLine(qint64 offset);

    LineStarts m_starts;
    qint64 m_size = 0;
    // The longest of the lines that another line follows.
    qint64 m_longestEnded = 0;
    // The next byte begins a line (so it does in an empty file).
    bool m_lastLineEnded = true;
};
