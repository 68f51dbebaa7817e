#pragma once
// The audit's findings as people and scripts read them: text lines, a CSV
// report, and what flagging did to each room.
#include <QString>
#include <vector>

#include "audit/ReconciliationAudit.h"

namespace audit {

// One line per drift, "Room <room>, <drift>: <detail>", then a closing line
// with the number of rooms, guests and drifts.
QString formatText(const AuditResult& result);

// RFC 4180: the header "Room,Drift,Detail" and one record per drift, CR LF
// after each, fields quoted where they must be.
QString formatCsv(const std::vector<Drift>& drifts);

// One JSON object on one line: {"rooms":N,"guests":N,"drifts":[{"room",
// "drift","detail"}...]}, the drift names as the other forms write them.
QString formatJson(const AuditResult& result);

// One line per room that flagging met.
QString formatFlagOutcomes(const std::vector<FlagOutcome>& outcomes);

}  // namespace audit
