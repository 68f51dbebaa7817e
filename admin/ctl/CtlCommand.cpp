#include "admin/ctl/CtlCommand.h"

#include <cstdio>

namespace ctl {

namespace {

const char* const kProgram = "stavioctl";

const Command* findCommand(const QString& name) {
    for (const Command& c : commands())
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

QString programHelp() {
    QString text = QStringLiteral(
        "Usage: stavioctl COMMAND [ARGUMENTS]\n"
        "Administers the Stavio service from a shell, with the administration program's own rules.\n\nCommands:\n");
    for (const Command& c : commands())
        text += QStringLiteral("  %1%2\n").arg(QString::fromLatin1(c.synopsis).leftJustified(64)).arg(QLatin1String(c.summary));
    text += QStringLiteral(
        "\n'stavioctl help COMMAND' or 'stavioctl COMMAND --help' tells more.\n"
        "Exit status: 0 success, 1 refused or failed, 2 bad usage.\n");
    return text;
}

QString commandHelp(const Command& c) {
    return QStringLiteral("Usage: stavioctl %1\n%2\n\n%3\n")
        .arg(QLatin1String(c.synopsis), QLatin1String(c.summary), QLatin1String(c.details));
}

// Splits the words after the command's name into words and options; an
// unknown option, a missing value or a wrong number of words is bad usage.
bool parse(const Command& c, const QStringList& words, Arguments& parsed, QString& problem) {
    bool optionsEnd = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (optionsEnd || !word.startsWith(QLatin1String("--"))) {
            parsed.words << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        const QString name = word.section(QLatin1Char('='), 0, 0);
        if (c.valued.contains(name)) {
            if (word.contains(QLatin1Char('=')))
                parsed.values.insert(name, word.section(QLatin1Char('='), 1));
            else if (i + 1 < words.size())
                parsed.values.insert(name, words[++i]);
            else {
                problem = QStringLiteral("option %1 needs a value").arg(name);
                return false;
            }
        } else if (c.flags.contains(word)) {
            parsed.flags << word;
        } else {
            problem = QStringLiteral("unknown option %1").arg(word);
            return false;
        }
    }
    if (parsed.words.size() < c.minWords || parsed.words.size() > c.maxWords) {
        problem = parsed.words.size() < c.minWords ? QStringLiteral("missing arguments")
                                                   : QStringLiteral("too many arguments");
        return false;
    }
    return true;
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

int badUsage(const QString& command, const QString& message) {
    error(message + QStringLiteral(" (see 'stavioctl help%1')").arg(command.isEmpty() ? QString() : QLatin1Char(' ') + command));
    return kBadUsage;
}

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
    if (first == QLatin1String("help")) {
        const Command* c = arguments.size() == 2 ? findCommand(arguments[1]) : nullptr;
        if (!c) return badUsage(QString(), QStringLiteral("no such command: %1").arg(arguments.mid(1).join(QLatin1Char(' '))));
        out(commandHelp(*c));
        return kSuccess;
    }
    const Command* c = findCommand(first);
    if (!c) return badUsage(QString(), QStringLiteral("no such command: %1").arg(first));
    const QStringList rest = arguments.mid(1);
    if (rest.contains(QLatin1String("--help"))) {
        out(commandHelp(*c));
        return kSuccess;
    }
    Arguments parsed;
    QString problem;
    if (!parse(*c, rest, parsed, problem)) return badUsage(first, problem);
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
        {"settings", "settings show | settings set NAME VALUE", "show the settings, or set one as the settings window saves it",
         "show: every setting by its value name, with its value.\n"
         "set:  checks the new value with the settings window's Save checks (numbers from its lists, start before\n"
         "      stop for both time windows, the welcome message's .WAV file, a template) and writes all settings as\n"
         "      Save does; refused with the window's message, nothing is written.\n"
         "      Flags take 0 or 1; times HH:MM or HH:MM:SS (24 hours) or the regional date format.",
         {}, {}, 1, 3, runSettings},
        {"guests", "guests [--archived] [--csv]", "the hotel guests of the voice-messaging server",
         "Lists the checked-in guests; with --archived the archived (checked-out) guests instead.\n"
         "  --csv   comma-separated values with a header line",
         {QStringLiteral("--archived"), QStringLiteral("--csv")}, {}, 0, 0, runGuests},
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
        {"audit", "audit [--csv] [--flag] [--pms SERVER]", "compare the PMS table with the voice-messaging server",
         "Compares every room of the PMS table with the hotel guests of the voice-messaging server and prints each\n"
         "drift with its room.\n"
         "  --csv          the report as CSV (Room,Drift,Detail)\n"
         "  --flag         raise the PMS change flag of each drifted room, so the next sweep takes it up\n"
         "  --pms SERVER   read the PMS table on SERVER instead of \"Precipia Server Name\"\n"
         "Exit status (the audit's own): 0 no drift, 1 drift found, 2 bad usage, 3 a side could not be read.",
         {QStringLiteral("--csv"), QStringLiteral("--flag")}, {QStringLiteral("--pms")}, 0, 0, runAudit},
        {"start", "start", "start the service (systemctl start)", "Runs 'systemctl start OrvantaVoxarenStavio'.", {}, {}, 0,
         0, runStart},
        {"stop", "stop", "stop the service (systemctl stop)", "Runs 'systemctl stop OrvantaVoxarenStavio'.", {}, {}, 0, 0,
         runStop},
    };
    return table;
}

}  // namespace ctl
