// stavioctl report room-activity|archived --from DAY --to DAY [--out FILE]:
// the reports window's reports, built by the same builder.
#include <QFile>
#include <QTemporaryDir>

#include "admin/core/localize/LanguageStrings.h"
#include "admin/core/reports/ReportBuilder.h"
#include "admin/ctl/CtlCommand.h"
#include "common/ErrorTrap.h"
#include "common/SettingsTable.h"

namespace ctl {

namespace {

using modLocalize::myLoadResString;

std::optional<QDate> day(const QString& text) {
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

}  // namespace

int runReport(const Arguments& arguments) {
    const QString name = arguments.positional[0];
    reports::ReportRequest request;
    if (name == QLatin1String("room-activity"))
        request.kind = reports::ReportKind::RoomActivity;
    else if (name == QLatin1String("archived"))
        request.kind = reports::ReportKind::ArchivedMailbox;
    else
        return badUsage(QStringLiteral("report"), {QStringLiteral("no such report '%1'").arg(name), name,
                                                   {QStringLiteral("room-activity"), QStringLiteral("archived")}});
    const std::optional<QDate> from = day(arguments.value("--from"));
    const std::optional<QDate> to = day(arguments.value("--to"));
    if (!from || !to) return badUsage(QStringLiteral("report"), QStringLiteral("--from and --to take a day as YYYY-MM-DD"));
    request.startDay = *from;
    request.stopDay = *to;
    try {
        request.logFolder = readSetting(Setting::PathToLogs, SettingsReader::Administration).toString();
    } catch (const std::exception& e) {
        return refuse(QString::fromUtf8(e.what()));
    }
    // Without --out the report is made aside and then printed.
    QTemporaryDir aside;
    const bool toStdout = !arguments.values.contains(QStringLiteral("--out"));
    if (toStdout && !aside.isValid()) return refuse(QStringLiteral("no temporary folder for the report: ") + aside.errorString());
    request.outputPath = toStdout ? aside.filePath(QStringLiteral("report.csv")) : arguments.value("--out");

    ErrorTrap trap("runReport", "Module", "stavioctl");
    const reports::ReportResult result = reports::ReportBuilder(trap).build(request);
    switch (result.status) {
        case reports::ReportResult::Status::Refused: return refuse(myLoadResString(1105));
        case reports::ReportResult::Status::NoLogFolder: return refuse(myLoadResString(1128));
        case reports::ReportResult::Status::CannotWrite: return refuse(QStringLiteral("the report could not be written: ") + result.path);
        case reports::ReportResult::Status::Written: break;
    }
    if (toStdout) {
        QFile report(result.path);
        if (!report.open(QIODevice::ReadOnly))
            return refuse(QStringLiteral("the report could not be read back: %1: %2").arg(result.path, report.errorString()));
        while (!report.atEnd()) outBytes(report.read(1 << 20));
    }
    if (result.parsedFiles == 0) error(myLoadResString(1073));
    return kSuccess;
}

}  // namespace ctl
