#pragma once
// Vesselrun's command line: a mode word and name=, display=, progid=,
// arguments= (words and prefixes ignoring case); reading stops at the first
// argument that is none of these.
#include <QString>
#include <QStringList>

enum class HostMode { Run, Install, Uninstall };

struct CommandLine {
    HostMode mode = HostMode::Run;
    QString serviceName;
    QString displayName;  // the service name when not given
    QString progId;
    QString arguments;
    bool empty = true;    // no arguments at all
};

CommandLine parseCommandLine(const QStringList& arguments);  // without the program name

// The four usage lines.
QString usageText();

// The command line the installed service runs: the program in quotes, then
// progid= and, when not empty, arguments= in quotes.
QString imagePath(const QString& program, const CommandLine& line);
// The same command line as a unit's ExecStart= value, each quoted part
// escaped so the host receives it unchanged.
QString execStartLine(const QString& program, const CommandLine& line);

// Why the line cannot be carried out (a service name or ProgID that systemd
// or a file name cannot carry), or "" when it can.
QString commandLineProblem(const CommandLine& line);
