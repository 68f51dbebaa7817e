// stavioctl audit [--csv | --json] [--flag] [--pms SERVER]: the reconciliation audit.
#include <QTextStream>
#include <cstdio>

#include "admin/ctl/CtlCommand.h"
#include "audit/AuditCommand.h"

namespace ctl {

int runAudit(const Arguments& arguments) {
    audit::AuditOptions options;
    options.csv = arguments.has("--csv");
    options.json = arguments.has("--json");
    if (options.csv && options.json) return badUsage(QStringLiteral("audit"), QStringLiteral("--csv and --json exclude each other"));
    options.flag = arguments.has("--flag");
    if (arguments.values.contains(QStringLiteral("--pms"))) options.pmsServer = arguments.value("--pms");
    QTextStream out(stdout);
    QTextStream err(stderr);
    return audit::runAudit(options, out, err);
}

}  // namespace ctl
