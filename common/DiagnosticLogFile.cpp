#include "common/DiagnosticLogFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <utility>

#include "common/ErrorTrap.h"
#include "common/LogFolderFiles.h"
#include "common/RegistryAPI.h"
#include "common/ServiceSettings.h"
#include "common/SettingsTable.h"
#include "common/SystemEnv.h"
#include "common/VoxarenVersion.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "stavio_version.h"

namespace {

const QString kRule = QString(64, QLatin1Char('='));

}  // namespace

QString DiagnosticLogFile::GenerateNewLogFileName() {
    ErrorTrap trap("GenerateNewLogFileName", "Module", "Module1");
    const QString name = QStringLiteral("VoxarenStavio_Log_") +
                         platform::datefmt::yyyymmdd_hh_mm_ss(platform::clock().now()) +
                         QStringLiteral(".TXT");
    trap.step([&] {
        QDir dir(folder);
        // Only the last level is made; a missing parent is an error.
        if (!dir.exists() && !QDir().mkdir(folder))
            throw platform::Error(errnum::PathNotFound, QStringLiteral("Path not found"));
    });
    trap.step([this] { CleanupLogFiles(); });
    return folder + name;
}

void DiagnosticLogFile::StartLogFile(const QString& path) {
    // Failures are ignored here: the writes that follow report them.
    m_startDate = platform::clock().now();
    m_stream.reset();
    m_path = path;
    m_started = true;
    QFile::remove(path);
    // Named even when it cannot be made: a reader then finds the log
    // missing, rather than taking the last run's file for the current one.
    RegistryAPI::SetValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey) + QLatin1Char('\\'),
                          QLatin1String(settingDefinition(Setting::CurrentLogFile).name), RegistryAPI::REG_SZ, path);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_openError =
            QFileInfo(QFileInfo(path).absolutePath()).isDir()
                ? platform::Error(errnum::PathFileAccess,
                                  QStringLiteral("Path/File access error: ") + path)
                : platform::Error(errnum::PathNotFound, QStringLiteral("Path not found: ") + path);
        return;
    }
    m_stream = std::move(file);
    const QString lines[] = {
        kRule,
        QStringLiteral("Running VoxarenStavio service version %1.%2.%3")
            .arg(STAVIO_VERSION_MAJOR)
            .arg(STAVIO_VERSION_MINOR)
            .arg(STAVIO_VERSION_REVISION),
        QStringLiteral("Local Voxaren version=") + serverVersion().Text,
        QStringLiteral("Starting log at ") + platform::datefmt::generalDate(m_startDate),
        kRule,
        QString(),
        QStringLiteral("Time, Event ID, Event Title, Primary Room, Secondary Room, Description"),
    };
    for (const QString& line : lines) {
        try {
            WriteLine(line);
        } catch (const platform::Error&) {
        }
    }
}

void DiagnosticLogFile::CloseLogFile() {
    m_stream.reset();
    m_started = false;
}

bool DiagnosticLogFile::RestartIfLost() {
    if (!m_started || (m_stream && QFileInfo::exists(m_path))) return false;
    if (!QDir(folder).exists() && !QDir().mkdir(folder)) {
        // Writes into the removed file would vanish unseen: they fail instead,
        // and the first failure is reported.
        if (m_stream) {
            m_stream.reset();
            m_openError =
                platform::Error(errnum::PathNotFound, QStringLiteral("Path not found: ") + m_path);
        }
        return false;
    }
    CloseLogFile();
    StartLogFile(GenerateNewLogFileName());
    return IsOpen();
}

void DiagnosticLogFile::CleanupLogFiles() {
    ErrorTrap trap("CleanupLogFiles", "Module", "Module1");
    const QString logs = systemEnv().componentFolder() + QStringLiteral("/logs");
    if (!QFileInfo(logs).isDir()) return;
    const QDate today = platform::clock().now().date();
    const int retention = m_settings.logRetentionDays();
    QDirIterator it(logs, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        const qint64 days = file.lastModified().date().daysTo(today);
        if (days <= retention || !isWrittenByThisSystem(file.fileName())) continue;
        trap.step([&] {
            QFile f(file.absoluteFilePath());
            // Read-only files go too.
            f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
            if (!f.remove())
                throw platform::Error(errnum::PathFileAccess,
                                  QStringLiteral("Path/File access error: ") + file.absoluteFilePath());
        });
    }
}

void DiagnosticLogFile::WriteLine(const QString& line) {
    if (!m_started) return;
    if (!m_stream) throw m_openError;
    const QByteArray bytes = line.toUtf8() + "\r\n";
    // Flushed at once: the administration reads this file while it grows. A
    // disk that fills up first takes part of the line and sets no error; the
    // second try writes the rest or learns the cause ("No space left on device").
    const bool written =
        m_stream->write(bytes) == bytes.size() && (m_stream->flush() || m_stream->flush());
    if (!written)
        throw platform::Error(errnum::DeviceIO,
                              QStringLiteral("Device I/O error: ") + m_stream->errorString());
    m_failureReported = false;
}

bool DiagnosticLogFile::FirstFailureSinceAWrite() {
    return !std::exchange(m_failureReported, true);
}

bool DiagnosticLogFile::debugMode() const {
    return m_settings.DebugMode;
}
