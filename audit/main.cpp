// stavio-audit: compares the PMS table with the voice-messaging server and
// prints each drift with its room.
//
//   stavio-audit [--pms SERVER] [--csv | --json] [--flag]
//
// Exit status 0 when clean, 1 when drift is found, 2 for bad usage, 3 when a
// side could not be read (the reason on stderr).
#include <QCoreApplication>
#include <QTextStream>

#include "audit/AuditCommand.h"
#include "common/SystemEnv.h"
#include "platform/commandline.h"
#include "sim/voxaren/ServerAccess.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    platform::cli::identify(QStringLiteral("stavio-audit"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Compares the PMS table (on the server the setting \"Precipia Server Name\" names) with the hotel guests of "
        "this machine's voice-messaging server and prints each drift with its room."));
    const QString epilogue = QStringLiteral(
        "Environment:\n"
        "  STAVIO_REGISTRY  the registry store with the settings; by default /var/lib/stavio/registry.db\n"
        "\nExit status:\n"
        "  0  no drift\n"
        "  1  drift found\n"
        "  2  bad usage\n"
        "  3  a side could not be read, or a room could not be flagged (the reason on standard error)\n"
        "\nSee also:\n"
        "  stavioctl(1)\n");
    const QCommandLineOption pms(QStringLiteral("pms"),
                                 QStringLiteral("Reads the PMS table on SERVER instead of \"Precipia Server Name\"."),
                                 QStringLiteral("SERVER"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("The report as CSV (Room,Drift,Detail)."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("The report as one JSON object on one line."));
    const QCommandLineOption flag(QStringLiteral("flag"), QStringLiteral("Raises the PMS change flag of each drifted room."));
    if (const std::optional<int> exit = platform::cli::parse(parser, {pms, csv, json, flag}, app.arguments(), epilogue)) return *exit;
    if (!parser.positionalArguments().isEmpty())
        return platform::cli::badUsage(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(csv) && parser.isSet(json)) return platform::cli::badUsage(QStringLiteral("--csv and --json exclude each other"));

    audit::AuditOptions options;
    options.csv = parser.isSet(csv);
    options.json = parser.isSet(json);
    options.flag = parser.isSet(flag);
    if (parser.isSet(pms)) options.pmsServer = parser.value(pms);

    // The program's environment: the machine's real services and this
    // machine's voice-messaging server.
    SystemEnv env;
    voxaren::installServerAccess(env);
    platform::ScopedEnv installed(env);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return audit::runAudit(options, out, err);
}
