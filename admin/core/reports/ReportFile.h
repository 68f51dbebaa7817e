#pragma once
// A report file being written: lines gather in memory and go to the disk in
// large writes. The first failing write is raised; later writes are dropped,
// so a full disk is reported once and not once per line.
#include <QFile>
#include <QString>
#include <string>

namespace reports {

class ReportFile {
public:
    // Creates the file, or empties an existing one. Raises a platform::Error
    // when it cannot be created.
    explicit ReportFile(const QString& path);
    ~ReportFile();  // writes what is left; failures there go unreported
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    void append(const char* begin, const char* end) {
        if (!m_failed) m_pending.append(begin, std::size_t(end - begin));
    }
    void append(char c) {
        if (!m_failed) m_pending.push_back(c);
    }
    // Ends the current line with CR LF; writes to the disk when enough gathered.
    void endLine();
    // Writes everything gathered and closes the file. Raises a platform::Error when
    // a write fails.
    void close();
    // A write has failed: nothing more reaches the file.
    bool failed() const { return m_failed; }

private:
    void writePending();

    QFile m_file;
    std::string m_pending;
    bool m_failed = false;
};

}  // namespace reports
