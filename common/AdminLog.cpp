#include "common/AdminLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include "common/LogFolderFiles.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "stavio_version.h"

namespace {
constexpr int kKeepDays = 10;
const QString kRule = QString(64, QLatin1Char('='));
}  // namespace

AdminLog::AdminLog(QString programFolder, QString programName)
    : m_programFolder(std::move(programFolder)), m_programName(std::move(programName)) {}

QString AdminLog::Folder() const { return m_programFolder + QStringLiteral("/logs/"); }

void AdminLog::Start(const QString& serverVersionText) {
    const QString folder = Folder();
    if (!QFileInfo(folder).isDir()) QDir().mkdir(folder);

    const QDateTime now = platform::clock().now();
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        if (file.lastModified().date().daysTo(now.date()) > kKeepDays && isWrittenByThisSystem(file.fileName()))
            QFile::remove(file.absoluteFilePath());
    }

    m_path = folder + m_programName + QStringLiteral("_Log_") + platform::datefmt::yymmdd_hh_mm_ss(now) +
             QStringLiteral(".TXT");
    QFile::remove(m_path);
    Reopen();
    writeRaw(kRule);
    writeRaw(QStringLiteral("Running %1, version %2.%3.%4")
                 .arg(m_programName)
                 .arg(STAVIO_VERSION_MAJOR)
                 .arg(STAVIO_VERSION_MINOR)
                 .arg(STAVIO_VERSION_REVISION));
    writeRaw(QString());
    writeRaw(QStringLiteral("Local Voxaren version=") + serverVersionText);
    writeRaw(QStringLiteral("Local time=") + platform::datefmt::generalDate(now));
    writeRaw(kRule);
    writeRaw(QString());
}

void AdminLog::Write(QString& text, bool stamp) {
    if (stamp) text = platform::datefmt::generalDate(platform::clock().now()) + QStringLiteral(": ") + text;
    writeRaw(text);
    if (m_afterWrite) m_afterWrite();
}

void AdminLog::Reopen() {
    Close();
    if (m_path.isEmpty()) return;
    auto file = std::make_unique<QFile>(m_path);
    if (file->open(QIODevice::WriteOnly | QIODevice::Append)) m_file = std::move(file);
}

void AdminLog::Close() { m_file.reset(); }

void AdminLog::writeRaw(const QString& line) {
    if (!m_file) return;
    m_file->write(line.toUtf8() + "\r\n");
    m_file->flush();
}
