#include "host/CommandLine.h"

#include "platform/com/progid.h"
#include "platform/scm/serviceinstaller.h"
#include "platform/scm/unitsyntax.h"

namespace {

bool takePrefix(const QString& argument, const char* prefix, QString& value) {
    const QLatin1String p(prefix);
    if (!argument.startsWith(p, Qt::CaseInsensitive)) return false;
    value = argument.mid(p.size());
    return true;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    line.empty = arguments.isEmpty();
    bool displayGiven = false;
    for (const QString& a : arguments) {
        if (a.compare(QLatin1String("install"), Qt::CaseInsensitive) == 0) {
            line.mode = HostMode::Install;
        } else if (a.compare(QLatin1String("uninstall"), Qt::CaseInsensitive) == 0) {
            line.mode = HostMode::Uninstall;
        } else if (takePrefix(a, "name=", line.serviceName)) {
        } else if (takePrefix(a, "display=", line.displayName)) {
            displayGiven = true;
        } else if (takePrefix(a, "progid=", line.progId)) {
        } else if (takePrefix(a, "arguments=", line.arguments)) {
        } else {
            break;
        }
    }
    if (!displayGiven) line.displayName = line.serviceName;
    return line;
}

QString usageText() {
    return QStringLiteral(
        "Usage:\n"
        "  Vesselrun install name=<ServiceName> display=<DisplayName> progid=<ProgId> arguments=<optional arguments>\n"
        "  Vesselrun uninstall name=<ServiceName>\n"
        "  Vesselrun progid=<ProgId> arguments=<optional arguments>\n");
}

QString imagePath(const QString& program, const CommandLine& line) {
    QString path = QLatin1Char('"') + program + QStringLiteral("\" progid=") + line.progId;
    if (!line.arguments.isEmpty()) path += QStringLiteral(" arguments=\"") + line.arguments + QLatin1Char('"');
    return path;
}

QString execStartLine(const QString& program, const CommandLine& line) {
    // The ProgID needs no quoting: its form admits nothing systemd reads specially.
    QString command = platform::scm::unitExecWord(program) + QStringLiteral(" progid=") + line.progId;
    if (!line.arguments.isEmpty()) command += QStringLiteral(" arguments=") + platform::scm::unitExecWord(line.arguments);
    return command;
}

QString commandLineProblem(const CommandLine& line) {
    if (line.mode != HostMode::Run && !platform::scm::isValidServiceName(line.serviceName))
        return QStringLiteral("Invalid service name \"%1\": use letters, digits and :_.-@ only (at most one @, not at "
                              "the end), starting with a letter, digit or _, at most 247 characters")
            .arg(line.serviceName);
    if (line.mode != HostMode::Uninstall && !line.progId.isEmpty() && !platform::com::isValidProgId(line.progId))
        return QStringLiteral("Invalid ProgId \"%1\": use the dotted form Library.Class (letters, digits and _)")
            .arg(line.progId);
    return QString();
}
