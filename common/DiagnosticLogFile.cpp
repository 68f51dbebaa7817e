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
#include "common/SettingsTable.h"
#include "common/ServiceState.h"
#include "common/VoxarenVersion.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "stavio_version.h"

namespace DiagnosticLogFile {

namespace {

using LogState = ServiceState::DiagnosticLog;

LogState& state() { return serviceState().diagnosticLog; }

const QString kRule = QString(64, QLatin1Char('='));

}  // namespace

QString GenerateNewLogFileName() {
    ErrorTrap trap("GenerateNewLogFileName", "Module", "Module1");
    const QString folder = serviceState().logFolder;
    const QString name = QStringLiteral("VoxarenStavio_Log_") +
                         platform::datefmt::yyyymmdd_hh_mm_ss(platform::clock().now()) +
                         QStringLiteral(".TXT");
    trap.step([&] {
        QDir dir(folder);
        // Only the last level is made; a missing parent is an error.
        if (!dir.exists() && !QDir().mkdir(folder))
            throw platform::Error(errnum::PathNotFound, QStringLiteral("Path not found"));
    });
    trap.step([] { CleanupLogFiles(); });
    return folder + name;
}

void StartLogFile(const QString& path) {
    // Failures are ignored here: the writes that follow report them.
    LogState& s = state();
    s.startDate = platform::clock().now();
    s.stream.reset();
    s.path = path;
    s.started = true;
    QFile::remove(path);
    // Named even when it cannot be made: a reader then finds the log
    // missing, rather than taking the last run's file for the current one.
    RegistryAPI::SetValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey) + QLatin1Char('\\'),
                          QLatin1String(settingDefinition(Setting::CurrentLogFile).name), RegistryAPI::REG_SZ, path);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        s.openError = QFileInfo(QFileInfo(path).absolutePath()).isDir()
                          ? platform::Error(errnum::PathFileAccess, QStringLiteral("Path/File access error: ") + path)
                          : platform::Error(errnum::PathNotFound, QStringLiteral("Path not found: ") + path);
        return;
    }
    s.stream = std::move(file);
    const QString lines[] = {
        kRule,
        QStringLiteral("Running VoxarenStavio service version %1.%2.%3")
            .arg(STAVIO_VERSION_MAJOR)
            .arg(STAVIO_VERSION_MINOR)
            .arg(STAVIO_VERSION_REVISION),
        QStringLiteral("Local Voxaren version=") + serverVersion().Text,
        QStringLiteral("Starting log at ") + platform::datefmt::generalDate(s.startDate),
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

void CloseLogFile() {
    LogState& s = state();
    s.stream.reset();
    s.started = false;
}

bool RestartIfLost() {
    LogState& s = state();
    if (!s.started || (s.stream && QFileInfo::exists(s.path))) return false;
    const QString folder = serviceState().logFolder;
    if (!QDir(folder).exists() && !QDir().mkdir(folder)) {
        // Writes into the removed file would vanish unseen: they fail instead,
        // and the first failure is reported.
        if (s.stream) {
            s.stream.reset();
            s.openError = platform::Error(errnum::PathNotFound, QStringLiteral("Path not found: ") + s.path);
        }
        return false;
    }
    CloseLogFile();
    StartLogFile(GenerateNewLogFileName());
    return IsOpen();
}

void CleanupLogFiles() {
    ErrorTrap trap("CleanupLogFiles", "Module", "Module1");
    const QString folder = serviceState().componentFolder() + QStringLiteral("/logs");
    if (!QFileInfo(folder).isDir()) return;
    const QDate today = platform::clock().now().date();
    const int retention = serviceState().settings.logRetentionDays();
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
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

void WriteLine(const QString& line) {
    LogState& s = state();
    if (!s.started) return;
    if (!s.stream) throw s.openError;
    const QByteArray bytes = line.toUtf8() + "\r\n";
    // Flushed at once: the administration reads this file while it grows. A
    // disk that fills up first takes part of the line and sets no error; the
    // second try writes the rest or learns the cause ("No space left on device").
    const bool written = s.stream->write(bytes) == bytes.size() && (s.stream->flush() || s.stream->flush());
    if (!written)
        throw platform::Error(errnum::DeviceIO, QStringLiteral("Device I/O error: ") + s.stream->errorString());
    s.failureReported = false;
}

bool FirstFailureSinceAWrite() { return !std::exchange(state().failureReported, true); }

bool IsOpen() { return state().stream != nullptr; }
QString CurrentLogFile() { return state().path; }
QDateTime LogStartDate() { return state().startDate; }

}  // namespace DiagnosticLogFile
