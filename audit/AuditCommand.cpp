#include "audit/AuditCommand.h"

#include <limits>

#include "audit/DriftReport.h"
#include "audit/ReconciliationAudit.h"
#include "common/PMSConnection.h"
#include "common/SettingsTable.h"
#include "common/VoiceServerConnection.h"

namespace audit {

AuditSides sidesFromSettings(const std::optional<QString>& pmsServer) {
    AuditSides sides;
    const QString server = pmsServer ? *pmsServer : readSetting(Setting::PrecipiaServerName, SettingsReader::Service).toString();
    if (server.trimmed().isEmpty())
        sides.problem = pmsServer ? QStringLiteral("--pms names no server")
                                  : QStringLiteral("no PMS server: the setting \"Precipia Server Name\" is empty");
    else
        sides.pmsConnection = PMSConnectionString(server);
    sides.serverConnection = kLocalVoiceServerConnection;

    // The service keeps the number in a signed 16-bit field; one it cannot
    // hold is not read, and the service goes on with what it had before.
    const qint32 days = readSetting(Setting::MailboxArchiveDays, SettingsReader::Service).toInt();
    if (days < std::numeric_limits<short>::min() || days > std::numeric_limits<short>::max())
        sides.note = QStringLiteral("\"Mailbox Archive Days\" holds %1, which the service cannot read; archived guests "
                                    "were not checked")
                         .arg(days);
    else
        sides.archiveDays = days;
    return sides;
}

int runAudit(const AuditOptions& options, QTextStream& out, QTextStream& err) {
    const AuditSides sides = sidesFromSettings(options.pmsServer);
    if (!sides.problem.isEmpty()) {
        err << sides.problem << '\n';
        return kCannotRead;
    }
    const AuditResult result = findDrifts(sides.pmsConnection, sides.serverConnection, sides.archiveDays);
    if (!result.ok()) {
        err << result.failure << '\n';
        return kCannotRead;
    }
    if (!sides.note.isEmpty()) err << sides.note << '\n';
    out << (options.json ? formatJson(result) : options.csv ? formatCsv(result.drifts) : formatText(result));
    out.flush();
    if (options.flag) {
        const std::vector<FlagOutcome> outcomes = flagDriftedRooms(sides.pmsConnection, result.drifts);
        (options.csv || options.json ? err : out) << formatFlagOutcomes(outcomes);
        for (const FlagOutcome& o : outcomes)
            if (o.result == FlagOutcome::Failed) return kCannotRead;
    }
    return result.drifts.empty() ? kClean : kDriftFound;
}

}  // namespace audit
