#pragma once
// Follows a text file that another process keeps appending to (the service's
// diagnostic log): each read returns only what was added since the last one,
// so a log of a hundred megabytes costs its full read once and then only its
// new lines. A file that was replaced (another file under the same name) or
// shortened since the last read is read again from its start.
//
// The file is UTF-8 with CR LF line ends; the text returned has "\n" line
// ends. A character or a CR LF pair split by the writer's last flush is
// held back until the rest of it arrives.
#include <QByteArray>
#include <QString>

class LogFileFollower {
public:
    explicit LogFileFollower(QString path);

    struct Update {
        // The file is read from its start: what was returned before is void.
        bool restarted = false;
        // The text added since the last read (the whole file when restarted).
        QString text;
    };

    // Opens the file, reads what is new and closes it again. Raises
    // platform::Error (53 "File not found", 75 for any other failure to
    // read) and then leaves its position as it was.
    Update readAppended();

    const QString& path() const { return m_path; }
    // Bytes of the file returned so far.
    qint64 offset() const { return m_offset; }

private:
    QString m_path;
    qint64 m_offset = 0;
    bool m_started = false;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    // The last bytes before m_offset: the same file still has them there.
    QByteArray m_tail;
};
