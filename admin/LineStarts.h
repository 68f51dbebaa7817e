#pragma once
// Ascending file offsets (where each line of a log starts) in about four
// bytes each: runs of up to 65536 offsets share a 64-bit base and keep
// 32-bit distances from it, and growing never copies what is stored, so a
// log of millions of lines costs a few megabytes and no peak while it grows.
#include <QtGlobal>
#include <vector>

class LineStarts {
public:
    // Adds an offset greater than the last one.
    void append(qint64 offset);
    qint64 at(qsizetype index) const;
    qint64 last() const { return m_last; }
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // Keeps the first `size` offsets.
    void truncate(qsizetype size);
    // Bytes the offsets take.
    qint64 memoryBytes() const;

private:
    struct Run {
        qint64 base;
        qsizetype first;  // index of the run's first offset
        std::vector<quint32> distances;
    };
    std::vector<Run> m_runs;
    qsizetype m_size = 0;
    qint64 m_last = -1;
};
