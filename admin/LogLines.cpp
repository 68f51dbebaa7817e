#include "admin/LogLines.h"

#include <algorithm>

namespace {
// Some hundreds of lines on either side of a page.
constexpr qint64 kWindowBytes = 64 * 1024;
}  // namespace

LogLines::LogLines(QString path) : m_file(std::move(path)) {}

LogLines::Change LogLines::refresh() {
    // A read from the file's start builds a new index; one that goes on adds to this one.
    LogLineIndex fresh;
    LogLineIndex* target = nullptr;
    const LogLineIndex::Mark mark = m_index.mark();
    LogFileFollower::Update update;
    try {
        update = m_file.readAppended([&](qint64 offset, QByteArrayView bytes) {
            if (!target) target = offset == 0 ? &fresh : &m_index;
            target->add(bytes);
        });
    } catch (...) {
        m_index.rollBack(mark);
        throw;
    }
    if (update.from == 0) {
        m_index = std::move(fresh);
        m_window.clear();
    }
    return {update.restarted, update.to > update.from};
}

QString LogLines::line(qsizetype line) const {
    QByteArray text = bytes(m_index.lineStart(line), m_index.lineEnd(line));
    if (text.endsWith('\n')) text.chop(text.endsWith("\r\n") ? 2 : 1);
    return QString::fromUtf8(text);
}

QString LogLines::text(qsizetype first, qsizetype last) const {
    if (first > last || first < 0 || last >= count()) return QString();
    const qint64 from = m_index.lineStart(first), to = m_index.lineEnd(last);
    return QString::fromUtf8(m_file.bytesAt(from, to - from)).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QByteArray LogLines::bytes(qint64 from, qint64 to) const {
    const qint64 windowTo = m_windowFrom + m_window.size();
    if (from < m_windowFrom || to > windowTo) {
        m_windowFrom = std::max<qint64>(0, from - kWindowBytes / 2);
        const qint64 end = std::min(m_index.size(), std::max(to, m_windowFrom + kWindowBytes));
        m_window = m_file.bytesAt(m_windowFrom, end - m_windowFrom);
    }
    return m_window.mid(from - m_windowFrom, to - from);
}
