#include "admin/LineStarts.h"

#include <algorithm>
#include <limits>

namespace {
constexpr std::size_t kRunLength = 65536;
constexpr qint64 kMostDistance = std::numeric_limits<quint32>::max();
}  // namespace

void LineStarts::append(qint64 offset) {
    Q_ASSERT(offset > m_last);
    if (m_runs.empty() || m_runs.back().distances.size() == kRunLength || offset - m_runs.back().base > kMostDistance) {
        m_runs.push_back({offset, m_size, {}});
        m_runs.back().distances.reserve(kRunLength);
    }
    Run& run = m_runs.back();
    run.distances.push_back(quint32(offset - run.base));
    ++m_size;
    m_last = offset;
}

qint64 LineStarts::at(qsizetype index) const {
    Q_ASSERT(index >= 0 && index < m_size);
    // The last run that begins at or before the index.
    const auto run = std::prev(std::upper_bound(m_runs.begin(), m_runs.end(), index,
                                                [](qsizetype i, const Run& r) { return i < r.first; }));
    return run->base + run->distances[std::size_t(index - run->first)];
}

void LineStarts::truncate(qsizetype size) {
    if (size >= m_size) return;
    while (!m_runs.empty() && m_runs.back().first >= size) m_runs.pop_back();
    if (!m_runs.empty()) m_runs.back().distances.resize(std::size_t(size - m_runs.back().first));
    m_size = size;
    m_last = size > 0 ? at(size - 1) : -1;
}

qint64 LineStarts::memoryBytes() const {
    qint64 bytes = qint64(m_runs.capacity() * sizeof(Run));
    for (const Run& run : m_runs) bytes += qint64(run.distances.capacity() * sizeof(quint32));
    return bytes;
}
