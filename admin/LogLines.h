#pragma once
// The lines of the service's log as the activity viewer shows them. Only
// where each line begins is kept (LogLineIndex); the text of a line is read
// from the file when it is asked for, so a log of any size is read once in
// blocks and then costs a few bytes a line, and a refresh costs what the
// service appended.
#include <QString>

#include "admin/core/LogFileFollower.h"
#include "admin/LogLineIndex.h"

class LogLines {
public:
    explicit LogLines(QString path);

    struct Change {
        // The file was read from its start: every line is new.
        bool restarted = false;
        // Bytes were added: new lines, or more of the last one.
        bool grew = false;
    };
    // Reads what the service appended. Raises platform::Error as
    // LogFileFollower does and then keeps the lines as they were.
    Change refresh();

    qsizetype count() const { return m_index.lineCount(); }
    // A line's text without its line end.
    QString line(qsizetype line) const;
    // Lines `first` to `last` as the file has them, with "\n" line ends.
    QString text(qsizetype first, qsizetype last) const;
    // The most bytes of any line, its line end included.
    qint64 longestLine() const { return m_index.longestLine(); }
    const QString& path() const { return m_file.path(); }
    const LogLineIndex& index() const { return m_index; }

private:
    // Bytes [from, to) of the lines read, through a window of the file kept
    // around the lines last asked for (a page of lines is one read).
    QByteArray bytes(qint64 from, qint64 to) const;

    LogFileFollower m_file;
    LogLineIndex m_index;
    mutable QByteArray m_window;
    mutable qint64 m_windowFrom = 0;
};
