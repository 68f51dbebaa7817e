#include "admin/core/reports/ReportFile.h"

#include <cstring>

#include "common/ErrorNumbers.h"

namespace reports {

ReportFile::ReportFile(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw platform::Error(errnum::PathFileAccess,
                          QStringLiteral("Path/File access error: ") + path + QStringLiteral(" (") +
                              m_file.errorString() + QLatin1Char(')'));
    m_pending.resize(kWriteSize + 4096);
}

ReportFile::~ReportFile() {
    if (!m_file.isOpen()) return;
    try {
        close();
    } catch (const platform::Error&) {
    }
}

void ReportFile::writeLine(const char* begin, const char* end) {
    char* const line = beginLine(std::size_t(end - begin));
    std::memcpy(line, begin, std::size_t(end - begin));
    endLine(line + (end - begin));
}

void ReportFile::close() {
    if (!m_file.isOpen()) return;
    writePending();
    m_file.close();
}

void ReportFile::writePending() {
    if (m_failed || m_used == 0) return;
    const qint64 size = qint64(m_used);
    const bool written = m_file.write(m_pending.data(), size) == size;
    m_used = 0;
    if (!written) {
        m_failed = true;
        throw platform::Error(errnum::DeviceIO, QStringLiteral("Device I/O error: ") + m_file.fileName() +
                                                 QStringLiteral(" (") + m_file.errorString() + QLatin1Char(')'));
    }
}

}  // namespace reports
