#include "audit/DriftReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/PmsRoomTable.h"
#include "platform/csv.h"

namespace audit {

namespace {

QString roomText(const QString& room) { return room.isEmpty() ? QStringLiteral("(none)") : room; }

QString counted(qsizetype n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

}  // namespace

QString formatText(const AuditResult& result) {
    QString out;
    for (const Drift& drift : result.drifts)
        out += QStringLiteral("Room ") + roomText(drift.room) + QStringLiteral(", ") + driftName(drift.kind) +
               QStringLiteral(": ") + drift.detail + QLatin1Char('\n');
    out += QStringLiteral("Checked ") + counted(result.rooms, "room", "rooms") + QStringLiteral(" and ") +
           counted(result.guests, "guest", "guests") + QStringLiteral(": ") +
           (result.drifts.empty() ? QStringLiteral("no drift") : counted(qsizetype(result.drifts.size()), "drift", "drifts")) +
           QStringLiteral(".\n");
    return out;
}

QString formatCsv(const std::vector<Drift>& drifts) {
    QString out = platform::csv::record({QStringLiteral("Room"), QStringLiteral("Drift"), QStringLiteral("Detail")});
    for (const Drift& drift : drifts) out += platform::csv::record({drift.room, driftName(drift.kind), drift.detail});
    return out;
}

QString formatJson(const AuditResult& result) {
    QJsonArray drifts;
    for (const Drift& drift : result.drifts)
        drifts.append(QJsonObject{{QStringLiteral("room"), drift.room},
                                  {QStringLiteral("drift"), driftName(drift.kind)},
                                  {QStringLiteral("detail"), drift.detail}});
    const QJsonObject report{{QStringLiteral("rooms"), result.rooms},
                             {QStringLiteral("guests"), result.guests},
                             {QStringLiteral("drifts"), drifts}};
    return QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

QString formatFlagOutcomes(const std::vector<FlagOutcome>& outcomes) {
    QString out;
    for (const FlagOutcome& o : outcomes) {
        out += QStringLiteral("Room ") + roomText(o.room);
        switch (o.result) {
        case FlagOutcome::Flagged: out += QStringLiteral(" flagged for the next synchronisation sweep"); break;
        case FlagOutcome::AlreadyFlagged: out += QStringLiteral(" was already flagged; left as it was"); break;
        case FlagOutcome::NoRow:
            out += QStringLiteral(" not flagged: no row of vmstable has it as ") + PmsRoomTable::name(PmsColumn::PrimaryExtension);
            break;
        case FlagOutcome::Failed: out += QStringLiteral(" not flagged: ") + o.error; break;
        }
        out += QLatin1Char('\n');
    }
    return out;
}

}  // namespace audit
