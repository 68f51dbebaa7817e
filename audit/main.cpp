// stavio-audit: compares the PMS table with the voice-messaging server and
// prints each drift with its room.
//
//   stavio-audit [--pms SERVER] [--csv] [--flag]
//
// Exit status 0 when clean, 1 when drift is found, 2 when a side could not be
// read (the reason on stderr).
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "audit/AuditCommand.h"
#include "common/SystemEnv.h"
#include "sim/voxaren/ServerAccess.h"

namespace {

const char* const kUsage =
    "usage: stavio-audit [--pms SERVER] [--csv] [--flag]\n"
    "  --pms SERVER  read the PMS table on SERVER instead of \"Precipia Server Name\"\n"
    "  --csv         the report as CSV (Room,Drift,Detail)\n"
    "  --flag        raise the PMS change flag of each drifted room\n";

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    audit::AuditOptions options;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--csv")) {
            options.csv = true;
        } else if (arg == QLatin1String("--flag")) {
            options.flag = true;
        } else if (arg == QLatin1String("--pms")) {
            if (i + 1 == args.size()) {
                err << "stavio-audit: --pms needs a server\n" << kUsage;
                return audit::kCannotRead;
            }
            options.pmsServer = args[++i];
        } else if (arg.startsWith(QLatin1String("--pms="))) {
            options.pmsServer = arg.mid(6);
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out << kUsage;
            return audit::kClean;
        } else {
            err << "stavio-audit: unknown argument " << arg << "\n" << kUsage;
            return audit::kCannotRead;
        }
    }

    // The program's environment: the machine's real services and this
    // machine's voice-messaging server.
    SystemEnv env;
    voxaren::installServerAccess(env);
    platform::ScopedEnv installed(env);
    return audit::runAudit(options, out, err);
}
