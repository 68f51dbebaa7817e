#include "admin/core/reports/ReportFile.h"

#include "common/ErrorNumbers.h"

namespace reports {

namespace {
constexpr std::size_t kWriteSize = 256 * 1024;
}

ReportFile::ReportFile(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw platform::Error(errnum::PathFileAccess,
                          QStringLiteral("Path/File access error: ") + path + QStringLiteral(" (") +
                              m_file.errorString() + QLatin1Char(')'));
    m_pending.reserve(kWriteSize + 4096);
}

ReportFile::~ReportFile() {
    if (!m_file.isOpen()) return;
    try {
        close();
    } catch (const platform::Error&) {
    }
}

void ReportFile::endLine() {
    if (m_failed) return;
    m_pending.append("\r\n", 2);
    if (m_pending.size() >= kWriteSize) writePending();
}

void ReportFile::close() {
    if (!m_file.isOpen()) return;
    writePending();
    m_file.close();
}

void ReportFile::writePending() {
    if (m_failed || m_pending.empty()) return;
    const qint64 size = qint64(m_pending.size());
    const bool written = m_file.write(m_pending.data(), size) == size;
    m_pending.clear();
    if (!written) {
        m_failed = true;
        throw platform::Error(errnum::DeviceIO, QStringLiteral("Device I/O error: ") + m_file.fileName() +
                                                 QStringLiteral(" (") + m_file.errorString() + QLatin1Char(')'));
    }
}

}  // namespace reports
