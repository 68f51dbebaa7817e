// stavioctl audit [--csv] [--flag] [--pms SERVER]: the reconciliation audit.
#include <QTextStream>
#include <cstdio>

#include "admin/ctl/CtlCommand.h"
#include "audit/AuditCommand.h"

namespace ctl {

int runAudit(const Arguments& arguments) {
    audit::AuditOptions options;
    options.csv = arguments.has("--csv");
    options.flag = arguments.has("--flag");
    if (arguments.values.contains(QStringLiteral("--pms"))) options.pmsServer = arguments.value("--pms");
    QTextStream out(stdout);
    QTextStream err(stderr);
    return audit::runAudit(options, out, err);
}

}  // namespace ctl
