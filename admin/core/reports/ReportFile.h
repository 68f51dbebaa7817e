#pragma once
// A report file being written: lines gather in memory and go to the disk in
// large writes. The first failing write is raised; later writes are dropped,
// so a full disk is reported once and not once per line.
#include <QFile>
#include <QString>
#include <vector>

namespace reports {

class ReportFile {
public:
    // Creates the file, or empties an existing one. Raises a platform::Error
    // when it cannot be created.
    explicit ReportFile(const QString& path);
    ~ReportFile();  // writes what is left; failures there go unreported
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Bytes past a line's room that copies of 32 bytes at a time may write.
    static constexpr std::size_t kLineSlack = 32;

    // Room for the next line, of at most `bytes` bytes before its line end,
    // and kLineSlack bytes more. The line is kept by endLine(where it ends).
    char* beginLine(std::size_t bytes) {
        // Once a write has failed, lines are made where nothing keeps them.
        const std::size_t from = m_failed ? 0 : m_used;
        if (m_pending.size() < from + bytes + 2 + kLineSlack)
            m_pending.resize(from + bytes + 2 + kLineSlack);
        return m_pending.data() + from;
    }
    // Ends the line begun at beginLine with CR LF; writes to the disk when
    // enough gathered.
    void endLine(char* lineEnd) {
        if (m_failed) return;
        lineEnd[0] = '\r';
        lineEnd[1] = '\n';
        m_used = std::size_t(lineEnd + 2 - m_pending.data());
        if (m_used >= kWriteSize) writePending();
    }
    // A whole line at once, such as the header.
    void writeLine(const char* begin, const char* end);
    // Writes everything gathered and closes the file. Raises a platform::Error when
    // a write fails.
    void close();
    // A write has failed: nothing more reaches the file.
    bool failed() const { return m_failed; }

private:
    static constexpr std::size_t kWriteSize = 256 * 1024;
    void writePending();

    QFile m_file;
    std::vector<char> m_pending;
    std::size_t m_used = 0;
    bool m_failed = false;
};

}  // namespace reports
