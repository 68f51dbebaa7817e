#include "admin/LogLineIndex.h"

#include <algorithm>
#include <cstring>

void LogLineIndex::add(QByteArrayView bytes) {
    if (bytes.isEmpty()) return;
    if (m_lastLineEnded) {
        beginLine(m_size);
        m_lastLineEnded = false;
    }
    const char* const data = bytes.data();
    const std::size_t length = std::size_t(bytes.size());
    std::size_t from = 0;
    while (const void* found = std::memchr(data + from, '\n', length - from)) {
        const std::size_t next = std::size_t(static_cast<const char*>(found) - data) + 1;
        if (next < length)
            beginLine(m_size + qint64(next));
        else
            m_lastLineEnded = true;  // the next line begins with the next bytes
        from = next;
    }
    m_size += qint64(length);
}

qint64 LogLineIndex::longestLine() const {
    return m_starts.isEmpty() ? 0 : std::max(m_longestEnded, m_size - m_starts.last());
}

void LogLineIndex::rollBack(const Mark& mark) {
    m_starts.truncate(mark.lines);
    m_size = mark.size;
    m_longestEnded = mark.longestEnded;
    m_lastLineEnded = mark.lastLineEnded;
}

void LogLineIndex::beginLine(qint64 offset) {
    if (!m_starts.isEmpty()) m_longestEnded = std::max(m_longestEnded, offset - m_starts.last());
    m_starts.append(offset);
}
