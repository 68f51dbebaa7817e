// The log sweep: the system's own files of the log folder made before the
// retention period began are deleted.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/DiagnosticLogFile.h"
#include "common/ErrorTrap.h"
#include "common/LogFolderFiles.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "service/Sweeps.h"

using namespace modLogging;

namespace modPMSFunctions {

namespace {

// When the file was made, where the file system records it; its last change otherwise.
QDateTime creationTime(const QFileInfo& file) {
    const QDateTime born = file.birthTime();
    return born.isValid() ? born : file.lastModified();
}

// The setting "Path to Logs"; without one, the folder the log is written to.
QString logsFolder(const ServiceState& state) {
    return state.settings.PathToLogs.isEmpty() ? state.log.folder : state.settings.PathToLogs;
}

// The file the service is writing its log to: it is never old enough to go,
// even with no retention days at all.
bool isCurrentLog(const DiagnosticLogFile& log, const QFileInfo& file) {
    return log.IsOpen() &&
           QFileInfo(log.CurrentLogFile()).canonicalFilePath() == file.canonicalFilePath();
}

void deleteFile(const QFileInfo& file) {
    QFile f(file.absoluteFilePath());
    // Read-only files go too.
    f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
    if (!f.remove())
        throw platform::Error(errnum::PathFileAccess,
                          QStringLiteral("Path/File access error: ") + file.absoluteFilePath() + QStringLiteral(" (") +
                              f.errorString() + QLatin1Char(')'));
}

}  // namespace

void SweepForLogDeletes(const ServiceState& state) {
    ErrorTrap trap("SweepForLogDeletes", "Module", "modPMSFunctions");
    int removed = 0;
    const QDateTime cutOff = platform::clock().now().addDays(-state.settings.logRetentionDays());
    DebugLog(EVENT_LOG_DELETE_DEBUG, QStringLiteral("Searching for logs to delete that are older than: ") +
                                         platform::datefmt::generalDate(cutOff));

    const QString folder = logsFolder(state);
    QFileInfoList files;
    trap.step([&] {
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            throw platform::Error(errnum::PathNotFound, QStringLiteral("Path not found: ") + folder);
        files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    });
    for (const QFileInfo& file : files) {
        if (!isWrittenByThisSystem(file.fileName()) || isCurrentLog(state.log, file) ||
            !(creationTime(file) < cutOff))
            continue;
        MyDiagnosticLog(QStringLiteral("Removing: ") + file.fileName(), EVENT_LOG_DELETE, QString(), QString(), true);
        ++removed;  // counted even when the deletion fails: the trap has said so
        trap.step([&] { deleteFile(file); });
    }
    MyDiagnosticLog(QStringLiteral("Log sweep complete.  ") + QString::number(removed) + QStringLiteral(" log files removed"),
                    EVENT_LOG_DELETE, QString(), QString(), true);
}

}  // namespace modPMSFunctions
