#include "platform/filemode.h"

#include <sys/stat.h>

#include <QFile>

namespace platform {

namespace {

// The umask, read where it can be read without changing it.
mode_t processUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:")) return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
    return 022;
}

}  // namespace

void giveNewFileMode(const QString& path) { ::chmod(QFile::encodeName(path).constData(), 0666 & ~processUmask()); }

}  // namespace platform
