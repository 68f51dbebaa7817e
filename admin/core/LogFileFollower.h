#pragma once
// Follows a text file that another process keeps appending to (the service's
// diagnostic log): each read hands over only what was added since the last
// one, in blocks, so a log of a hundred megabytes costs one pass over it and
// then only its new lines, and never sits in memory whole. A file that was
// replaced (another file under the same name) or shortened since the last
// read is read again from its start.
//
// The file is UTF-8 with CR LF line ends. A character or a CR LF pair split
// by the writer's last flush is held back until the rest of it arrives.
//
// The file last read stays open, so the bytes handed over can be read again
// (bytesAt) and stay those of that file even when the service deletes or
// replaces it: the next read then switches to whatever the path names.
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <functional>
#include <memory>

class LogFileFollower {
public:
    explicit LogFileFollower(QString path);
    ~LogFileFollower();

    struct Update {
        // The file is read from its start: what was handed over before is void.
        bool restarted = false;
        // The bytes handed over: [from, to) of the file.
        qint64 from = 0;
        qint64 to = 0;
    };
    // Receives the new bytes in order; `offset` is where `bytes` begin in the file.
    using Consumer = std::function<void(qint64 offset, QByteArrayView bytes)>;

    // Opens the file and hands what is new to `consume`. Raises
    // platform::Error (53 "File not found", 75 for any other failure to read)
    // and then leaves its position and open file as they were; what
    // `consume` received in that read is then void.
    Update readAppended(const Consumer& consume);

    // Up to `length` bytes from `from` of the file last read (fewer where it
    // has since been cut short; none before the first read).
    QByteArray bytesAt(qint64 from, qint64 length) const;

    const QString& path() const { return m_path; }
    // Bytes of the file handed over so far.
    qint64 offset() const { return m_offset; }

private:
    QString m_path;
    std::unique_ptr<QFile> m_file;
    qint64 m_offset = 0;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    // The last bytes before m_offset: the same file still has them there.
    QByteArray m_tail;
};
