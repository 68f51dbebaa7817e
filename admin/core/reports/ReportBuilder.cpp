#include "admin/core/reports/ReportBuilder.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <memory>

#include "admin/core/reports/LogScanner.h"
#include "admin/core/reports/ReportFile.h"
#include "common/ErrorTrap.h"
#include "common/ErrorNumbers.h"
#include "platform/clock.h"
#include "platform/datefmt.h"

namespace reports {

namespace {

const QString kLogPrefix = QStringLiteral("VoxarenStavio_Log_");
constexpr int kDayDigits = 8;

bool digitsOnly(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Name order, letter case aside, so files written under either spelling of
// the prefix still come in the order of their days.
bool byName(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

QString strCreateReportFileName(const QString& strName) {
    return strName + QLatin1Char('_') + platform::datefmt::yyyy_mm_dd_hh_mm_ss(platform::clock().now()) +
           QStringLiteral(".csv");
}

std::optional<QDate> logFileDay(const QString& fileName) {
    if (!fileName.startsWith(kLogPrefix, Qt::CaseInsensitive)) return std::nullopt;
    const QStringView digits = QStringView(fileName).mid(kLogPrefix.size(), kDayDigits);
    if (digits.size() != kDayDigits || !digitsOnly(digits)) return QDate();
    return QDate(digits.mid(0, 4).toInt(), digits.mid(4, 2).toInt(), digits.mid(6, 2).toInt());
}

ReportResult ReportBuilder::build(const ReportRequest& request) {
    ReportResult result;
    if (request.startDay > request.stopDay) return result;

    const ReportDefinition& report = reportDefinition(request.kind);
    result.path = request.logFolder + strCreateReportFileName(report.baseName);
    // An empty setting would read the logs wherever the program was started.
    const QDir folder = QFileInfo(result.path).absoluteDir();
    if (request.logFolder.isEmpty() || !folder.exists()) {
        result.status = ReportResult::Status::NoLogFolder;
        return result;
    }
    if (!request.outputPath.isEmpty()) result.path = request.outputPath;

    std::unique_ptr<ReportFile> out;
    m_trap.step([&] {
        out = std::make_unique<ReportFile>(result.path);
        out->writeLine(report.header.cbegin(), report.header.cend());
    });
    if (!out) {
        result.status = ReportResult::Status::CannotWrite;
        return result;
    }

    const LogFiles files = logFilesFor(folder, request);
    LogScanner scanner(report, *out);
    scanner.setYield(m_yield);
    if (m_blockSize > 0) scanner.setBlockSize(m_blockSize);
    if (!files.begunBefore.isEmpty()) {
        scanner.setEntriesFrom(request.startDay);
        m_trap.step([&] { scanner.scan(files.begunBefore); });
        scanner.setEntriesFrom(std::nullopt);
        // Counted only when it held entries of the range.
        if (scanner.linesWritten() > 0) result.filesInRange = result.parsedFiles = 1;
    }
    result.filesInRange += int(files.inRange.size());
    if (m_progress) m_progress(result.parsedFiles, result.filesInRange);
    for (const QString& file : files.inRange) {
        ++result.parsedFiles;
        m_trap.step([&] { scanner.scan(file); });
        if (m_progress) m_progress(result.parsedFiles, result.filesInRange);
    }
    m_trap.step([&] { out->close(); });
    result.linesWritten = scanner.linesWritten();
    result.status = out->failed() ? ReportResult::Status::CannotWrite : ReportResult::Status::Written;
    return result;
}

ReportBuilder::LogFiles ReportBuilder::logFilesFor(const QDir& folder, const ReportRequest& request) {
    QStringList names = folder.entryList(QDir::Files, QDir::NoSort);
    std::sort(names.begin(), names.end(), byName);
    LogFiles files;
    for (const QString& name : names) {
        const std::optional<QDate> day = logFileDay(name);
        if (!day) continue;
        if (!day->isValid()) {
            m_trap.report(errnum::TypeMismatch, QStringLiteral("Type mismatch: ") + name);
            continue;
        }
        if (*day < request.startDay) files.begunBefore = folder.filePath(name);
        else if (*day <= request.stopDay) files.inRange << folder.filePath(name);
    }
    return files;
}

}  // namespace reports
