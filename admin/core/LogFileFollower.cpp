#include "admin/core/LogFileFollower.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "common/ErrorNumbers.h"

namespace {

// Enough of the text before the position to tell a replaced file from the
// one read before, even when the new one took the old one's inode.
constexpr qsizetype kTailBytes = 64;
// Large enough that reading costs little more than copying, small enough
// that a log of any size is never held whole.
constexpr qint64 kBlockBytes = 1 << 20;
// At most a three-byte start of a four-byte character and a CR wait for the next block.
constexpr qsizetype kMostHeldBack = 4;

int sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// How many leading bytes form complete text: a trailing incomplete UTF-8
// sequence and a trailing CR wait for the rest of them.
qsizetype completeLength(QByteArrayView bytes) {
    qsizetype length = bytes.size();
    // The lead byte of the last sequence lies at most three bytes back.
    for (qsizetype i = length - 1; i >= 0 && i >= length - 4; --i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
        if (i + sequenceLength(byte) > length) length = i;
        break;
    }
    if (length > 0 && bytes[length - 1] == '\r') --length;
    return length;
}

[[noreturn]] void accessError(const QString& detail) {
    throw platform::Error(errnum::PathFileAccess, QStringLiteral("Path/File access error: ") + detail);
}

}  // namespace

LogFileFollower::LogFileFollower(QString path) : m_path(std::move(path)) {}

LogFileFollower::~LogFileFollower() = default;

LogFileFollower::Update LogFileFollower::readAppended(const Consumer& consume) {
    auto file = std::make_unique<QFile>(m_path);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (!QFileInfo::exists(m_path)) throw platform::Error(errnum::FileNotFound, QStringLiteral("File not found"));
        accessError(file->errorString());
    }
    struct stat info {};
    if (fstat(file->handle(), &info) != 0) accessError(m_path);

    Update update;
    qint64 from = m_offset;
    QByteArray tail = m_tail;
    bool continues = m_file && quint64(info.st_dev) == m_device && quint64(info.st_ino) == m_inode &&
                     qint64(info.st_size) >= m_offset;
    if (continues && !tail.isEmpty()) {
        continues = file->seek(from - tail.size()) && file->read(tail.size()) == tail;
    }
    if (!continues) {
        update.restarted = true;
        from = 0;
        tail.clear();
    }
    if (!file->seek(from)) accessError(file->errorString());
    update.from = from;

    // Each block begins with what the one before held back.
    QByteArray block(kBlockBytes + kMostHeldBack, Qt::Uninitialized);
    qsizetype heldBack = 0;
    qint64 at = from;
    for (;;) {
        const qint64 got = file->read(block.data() + heldBack, kBlockBytes);
        if (got < 0) accessError(file->errorString());
        if (got == 0) break;
        const QByteArrayView filled(block.constData(), heldBack + got);
        const QByteArrayView complete = filled.first(completeLength(filled));
        if (!complete.isEmpty()) {
            consume(at, complete);
            at += complete.size();
            tail = complete.size() >= kTailBytes ? complete.last(kTailBytes).toByteArray()
                                                 : (tail + complete.toByteArray()).right(kTailBytes);
        }
        heldBack = filled.size() - complete.size();
        std::memmove(block.data(), filled.constData() + complete.size(), std::size_t(heldBack));
    }
    update.to = at;

    m_file = std::move(file);
    m_device = quint64(info.st_dev);
    m_inode = quint64(info.st_ino);
    m_offset = at;
    m_tail = tail;
    return update;
}

QByteArray LogFileFollower::bytesAt(qint64 from, qint64 length) const {
    if (!m_file || from < 0 || length <= 0) return {};
    QByteArray bytes(length, Qt::Uninitialized);
    qint64 got = 0;
    while (got < length) {
        const ssize_t n = ::pread(m_file->handle(), bytes.data() + got, std::size_t(length - got), from + got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}
