#include "admin/LogFileFollower.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "common/StavioError.h"

namespace {

// Enough of the text before the position to tell a replaced file from the
// one read before, even when the new one took the old one's inode.
constexpr qsizetype kTailBytes = 64;

int sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

QString text(QByteArrayView bytes) {
    QString decoded = QString::fromUtf8(bytes);
    decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return decoded;
}

// How many leading bytes form complete text: a trailing incomplete UTF-8
// sequence and a trailing CR wait for the rest of them.
qsizetype completeLength(const QByteArray& bytes) {
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

}  // namespace

LogFileFollower::LogFileFollower(QString path) : m_path(std::move(path)) {}

LogFileFollower::Update LogFileFollower::readAppended() {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(m_path)) throw StavioError(errnum::FileNotFound, QStringLiteral("File not found"));
        throw StavioError(errnum::PathFileAccess, QStringLiteral("Path/File access error: ") + file.errorString());
    }
    struct stat info {};
    if (fstat(file.handle(), &info) != 0)
        throw StavioError(errnum::PathFileAccess, QStringLiteral("Path/File access error: ") + m_path);

    Update update;
    qint64 from = m_offset;
    QByteArray tail = m_tail;
    const bool sameFile = m_started && quint64(info.st_dev) == m_device && quint64(info.st_ino) == m_inode &&
                          qint64(info.st_size) >= m_offset;
    bool continues = sameFile;
    if (continues && !tail.isEmpty()) {
        continues = file.seek(from - tail.size()) && file.read(tail.size()) == tail;
    }
    if (!continues) {
        update.restarted = true;
        from = 0;
        tail.clear();
    }
    if (!file.seek(from))
        throw StavioError(errnum::PathFileAccess, QStringLiteral("Path/File access error: ") + file.errorString());
    const QByteArray added = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw StavioError(errnum::PathFileAccess, QStringLiteral("Path/File access error: ") + file.errorString());

    const qsizetype complete = completeLength(added);
    const QByteArrayView read(added.constData(), complete);
    update.text = text(read);
    m_started = true;
    m_device = quint64(info.st_dev);
    m_inode = quint64(info.st_ino);
    m_offset = from + complete;
    m_tail = complete >= kTailBytes ? read.last(kTailBytes).toByteArray()
                                    : (tail + read.toByteArray()).right(kTailBytes);
    return update;
}
