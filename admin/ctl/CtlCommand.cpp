#include "admin/ctl/CtlCommand.h"

#include <QRegularExpression>
#include <cstdio>

#include "admin/core/StoreAccess.h"
#include "audit/AuditCommand.h"

namespace ctl {

namespace {

const char* const kProgram = "stavioctl";

const Command* findCommand(const QString& name) {
    for (const Command& c : commands())
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

// The command list: the synopsis, its summary beside it or, for a long
// synopsis, on the next line.
QString commandList() {
    constexpr qsizetype kColumn = 50;
    QString text;
    for (const Command& c : commands()) {
        const QString synopsis = QLatin1String(c.synopsis);
        text += QStringLiteral("  ") + synopsis +
                (synopsis.size() + 2 <= kColumn ? QString(kColumn - synopsis.size(), QLatin1Char(' '))
                                                : QLatin1Char('\n') + QString(kColumn + 2, QLatin1Char(' '))) +
                QLatin1String(c.summary) + QLatin1Char('\n');
    }
    return text;
}

// Each command's help under its synopsis, indented (the manual page takes
// each as a section of its own).
QString everyCommandsHelp() {
    QString text;
    for (const Command& c : commands()) {
        QString details = QLatin1String(c.summary) + QStringLiteral(".\n") + QLatin1String(c.details);
        details.replace(QLatin1Char('\n'), QStringLiteral("\n  "));
        text += QStringLiteral("\nstavioctl %1:\n  %2\n").arg(QLatin1String(c.synopsis), details);
    }
    return text;
}

// The program's help; with `everyCommand`, every command's too.
QString programHelp(bool everyCommand = false) {
    return QStringLiteral("Usage: stavioctl COMMAND [ARGUMENTS]\n"
                          "Administers the Stavio service from a shell, with the administration program's own rules.\n"
                          "\nCommands:\n") +
           commandList() + (everyCommand ? everyCommandsHelp() : QString()) +
           QStringLiteral(
               "\nOptions:\n"
               "  -h, --help       Shows this help; 'stavioctl COMMAND --help' shows a command's, 'stavioctl help --all'\n"
               "                   every command's.\n"
               "  --version        Shows the program's version.\n"
               "\nEnvironment:\n"
               "  STAVIO_REGISTRY  the registry store with the settings; by default /var/lib/stavio/registry.db\n"
               "\nExit status:\n"
               "  0  success\n"
               "  1  refused or failed (the reason on standard error)\n"
               "  2  bad usage\n"
               "  status, check and audit have their own, given with each.\n"
               "\nSee also:\n"
               "  stavio-audit(1), stavio-reg(1), Vesselrun(8)\n");
}

QString commandHelp(const Command& c) {
    return QStringLiteral("Usage: stavioctl %1\n%2\n\n%3\n")
        .arg(QLatin1String(c.synopsis), QLatin1String(c.summary), QLatin1String(c.details));
}

QStringList commandNames() {
    QStringList names;
    for (const Command& c : commands()) names << QLatin1String(c.name);
    return names;
}

// The command's words and options; an unknown option, a missing value or a
// wrong number of words is bad usage.
std::optional<platform::cli::Usage> parse(const Command& c, const QStringList& words, Arguments& parsed) {
    if (std::optional<platform::cli::Usage> problem = platform::cli::split(words, c.flags, c.valued, parsed))
        return problem;
    if (parsed.has("--help")) return std::nullopt;
    if (parsed.positional.size() < c.minWords) return platform::cli::Usage{QStringLiteral("missing arguments"), {}, {}};
    if (parsed.positional.size() > c.maxWords)
        return platform::cli::Usage{QStringLiteral("too many arguments: '%1'").arg(parsed.positional.mid(c.maxWords).join(QLatin1Char(' '))), {}, {}};
    return std::nullopt;
}

// The exit status of a command that finds the registry store unreadable:
// status and audit have their own for "cannot tell"; start and stop leave
// the store to the service manager.
std::optional<int> unreadableStoreExit(const Command& c) {
    // check says it on its status line, as a monitor reads it.
    if (c.run == runStart || c.run == runStop || c.run == runCheck) return std::nullopt;
    if (c.run == runStatus) return kStatusUnknown;
    if (c.run == runAudit) return audit::kCannotRead;
    return kRefused;
}

int noSuchCommand(const QString& name) {
    return badUsage(QString(), {QStringLiteral("unknown command '%1'").arg(name), name, commandNames()});
}

}  // namespace

void out(const QString& text) { outBytes(text.toUtf8()); }

void outBytes(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void error(const QString& message) {
    QString line = message.trimmed();
    line.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fputs((QLatin1String(kProgram) + QStringLiteral(": ") + line + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

int refuse(const QString& message) {
    error(message);
    return kRefused;
}

int badUsage(const QString& command, const platform::cli::Usage& usage) {
    return platform::cli::badUsage(usage, command.isEmpty() ? QStringLiteral("stavioctl --help")
                                                            : QStringLiteral("stavioctl %1 --help").arg(command));
}

int badUsage(const QString& command, const QString& message) { return badUsage(command, {message, {}, {}}); }

int runCommandLine(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        std::fputs(programHelp().toUtf8().constData(), stderr);
        return kBadUsage;
    }
    const QString& first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
        (first == QLatin1String("help") && arguments.size() == 1)) {
        out(programHelp());
        return kSuccess;
    }
    if (first == QLatin1String("--version")) {
        out(platform::cli::versionLine());
        return kSuccess;
    }
    if (first.startsWith(QLatin1Char('-')))
        return badUsage(QString(), {QStringLiteral("Unknown option '%1'").arg(QString(first).remove(QRegularExpression(QStringLiteral("^-+")))), first,
                                    {QStringLiteral("--help"), QStringLiteral("--version")}});
    if (first == QLatin1String("help")) {
        if (arguments.size() > 2) return badUsage(QString(), QStringLiteral("help takes one command"));
        if (arguments[1] == QLatin1String("--all")) {
            out(programHelp(true));
            return kSuccess;
        }
        const Command* c = findCommand(arguments[1]);
        if (!c) return noSuchCommand(arguments[1]);
        out(commandHelp(*c));
        return kSuccess;
    }
    const Command* c = findCommand(first);
    if (!c) return noSuchCommand(first);
    Arguments parsed;
    if (const std::optional<platform::cli::Usage> problem = parse(*c, arguments.mid(1), parsed)) {
        const int exit = badUsage(first, *problem);
        // To a monitor, 2 is CRITICAL: a check it cannot run is UNKNOWN.
        return c->run == runCheck ? kCheckUnknown : exit;
    }
    if (parsed.has("--help")) {
        out(commandHelp(*c));
        return kSuccess;
    }
    // A store that cannot be read is an error naming the damage, never an
    // answer that looks valid.
    if (const std::optional<int> exit = unreadableStoreExit(*c))
        if (const std::optional<QString> refusal = storeReadRefusal()) {
            error(*refusal);
            return *exit;
        }
    return c->run(parsed);
}

const std::vector<Command>& commands() {
    static const std::vector<Command> table{
        {"status", "status [--json]", "the service's state, its log, the last sweep, the servers' reachability",
         "Shows the service's state (from its state file, a host that was killed counts as stopped), the current\n"
         "diagnostic log file, the start, end and counts of the last synchronisation sweep in that log, and whether\n"
         "the PMS database and the voice-messaging server answer.\n"
         "  --json   one JSON object with stable keys, for monitoring\n"
         "Exit status: 0 running, 3 not running, 4 not installed or unknown (a store that cannot be read, with\n"
         "its reason on standard error), as systemctl is-active gives them.",
         {QStringLiteral("--json")}, {}, 0, 0, runStatus},
        {"check", "check [--sweep-warning S] [--sweep-critical S] [--drift-warning N] [--drift-critical N]",
         "the service's health for a monitor (Icinga, Nagios, Zabbix, Checkmk)",
         "One status line with performance data, in the monitoring-plugin convention:\n"
         "  STAVIO OK - service running, last sweep 12 s ago, 72 guest mailboxes, 120 rooms, no drift | service_running=1;;;0;1 ...\n"
         "It checks that the service runs, the age of the last finished sweep in its log, that the PMS database\n"
         "and the voice-messaging server answer, the audit's drifted rooms, and that the log can be written;\n"
         "the performance data also give the guest mailboxes (archived ones included) and the rooms.\n"
         "  --sweep-warning S    WARNING when the last sweep finished more than S seconds ago (default 3 cycles)\n"
         "  --sweep-critical S   CRITICAL beyond S seconds (default 10 cycles of \"Syncronization Cycle Minutes\")\n"
         "  --drift-warning N    WARNING from N drifts (default 1)\n"
         "  --drift-critical N   CRITICAL from N drifts (default 10)\n"
         "A stopped service and a server that does not answer are CRITICAL, a log that cannot be written a WARNING.\n"
         "Exit status: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN (the store or the audit could not be read, or bad\n"
         "usage); CRITICAL goes before UNKNOWN, UNKNOWN before WARNING.",
         {}, {QStringLiteral("--sweep-warning"), QStringLiteral("--sweep-critical"), QStringLiteral("--drift-warning"),
              QStringLiteral("--drift-critical")}, 0, 0, runCheck},
        {"settings", "settings show [--json] | settings set NAME VALUE",
         "show the settings, or set one as the settings window saves it",
         "show: every setting by its value name, with its value; with --json one JSON object (numbers and flags\n"
         "      as numbers).\n"
         "set:  checks the new value with the settings window's Save checks (numbers from its lists, start before\n"
         "      stop for both time windows, the welcome message's .WAV file, a template) and writes all settings as\n"
         "      Save does; refused with the window's message, nothing is written.\n"
         "      Flags take 0 or 1; times HH:MM or HH:MM:SS (24 hours) or the regional date format.",
         {QStringLiteral("--json")}, {}, 1, 3, runSettings},
        {"guests", "guests [--archived] [--csv | --json]", "the hotel guests of the voice-messaging server",
         "Lists the checked-in guests; with --archived the archived (checked-out) guests instead.\n"
         "  --csv    comma-separated values with a header line\n"
         "  --json   one JSON array of objects, the columns' names as keys",
         {QStringLiteral("--archived"), QStringLiteral("--csv"), QStringLiteral("--json")}, {}, 0, 0, runGuests},
        {"password", "password ROOM NEW", "set the phone password of the guest in ROOM",
         "Sets the checked-in guest's phone password: 3 to 10 digits, 0-9 only. Written to the administration log.", {},
         {}, 2, 2, runPassword},
        {"uncheckout", "uncheckout ALIAS [--yes]", "restore an archived guest into its room",
         "Restores the archived guest with that alias (see 'guests --archived') into its room. When another guest\n"
         "holds the room, that guest can be checked out first. While the service runs, a question tells what it will\n"
         "do to the room; for a room the PMS shows occupied it is stopped for the restore and started again after it.\n"
         "The questions are asked on the terminal;\n"
         "  --yes   answers every question yes (needed when standard input is no terminal)",
         {QStringLiteral("--yes")}, {}, 1, 1, runUncheckout},
        {"lamps", "lamps resync", "set every guest's lamps anew from its mailbox",
         "resync: the server re-evaluates the lamps of every checked-in guest, then every occupied room of the PMS\n"
         "table gets its lamp state written again, so the gateway sends it to the phone once more (after an outage of\n"
         "the phone system). Progress on standard error; the counts at the end. Written to the administration log.",
         {}, {}, 1, 1, runLamps},
        {"report", "report room-activity|archived --from DAY --to DAY [--out FILE]", "a report from the service's logs",
         "Builds the Room Activity or Archived Mailbox report from the diagnostic logs of the days from DAY to DAY\n"
         "(YYYY-MM-DD, both included) as CSV, to standard output or into FILE.",
         {}, {QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--out")}, 1, 1, runReport},
        {"log", "log [--follow]", "the service's current diagnostic log",
         "Prints the current diagnostic log; with --follow keeps printing the lines the service adds, also in\n"
         "the next log file the service begins (in its archive window after midnight, or at a restart), until\n"
         "interrupted.",
         {QStringLiteral("--follow")}, {}, 0, 0, runLog},
        {"audit", "audit [--csv | --json] [--flag] [--pms SERVER]", "compare the PMS table with the voice-messaging server",
         "Compares every room of the PMS table with the hotel guests of the voice-messaging server and prints each\n"
         "drift with its room.\n"
         "  --csv          the report as CSV (Room,Drift,Detail)\n"
         "  --json         the report as one JSON object: rooms, guests and the drifts (room, drift, detail)\n"
         "  --flag         raise the PMS change flag of each drifted room, so the next sweep takes it up\n"
         "  --pms SERVER   read the PMS table on SERVER instead of \"Precipia Server Name\"\n"
         "Exit status (the audit's own): 0 no drift, 1 drift found, 2 bad usage, 3 a side could not be read.",
         {QStringLiteral("--csv"), QStringLiteral("--json"), QStringLiteral("--flag")}, {QStringLiteral("--pms")}, 0, 0,
         runAudit},
        {"start", "start", "start the service (systemctl start)", "Runs 'systemctl start OrvantaVoxarenStavio'.", {}, {}, 0,
         0, runStart},
        {"stop", "stop", "stop the service (systemctl stop)", "Runs 'systemctl stop OrvantaVoxarenStavio'.", {}, {}, 0, 0,
         runStop},
    };
    return table;
}

}  // namespace ctl
