#pragma once
// The frame of stavioctl's commands: their table, the parsing of their
// arguments, the exit codes and the one-line error messages.
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/commandline.h"

namespace ctl {

enum ExitCode : int {
    kSuccess = 0,
    kRefused = 1,   // refused or failed
    kBadUsage = 2,
    // status: as `systemctl is-active` and init scripts give it.
    kStatusNotRunning = 3,
    kStatusUnknown = 4,  // not installed, or its state cannot be told
    // check: the monitoring-plugin convention's UNKNOWN.
    kCheckUnknown = 3,
};

// A command's arguments once parsed: its positional words and its options.
using Arguments = platform::cli::Words;

struct Command {
    const char* name;
    const char* synopsis;  // "guests [--archived] [--csv]"
    const char* summary;   // one line for the program's help
    const char* details;   // the rest of the command's help
    QStringList flags;     // options without value
    QStringList valued;    // options that take a value
    int minWords;
    int maxWords;
    int (*run)(const Arguments& arguments);
};

// Every command, in the order the help lists them.
const std::vector<Command>& commands();

// Runs the command line (without the program's name); returns the exit code.
int runCommandLine(const QStringList& arguments);

// Output: text to standard output as it is; a message to standard error on one line.
void out(const QString& text);
void outBytes(const QByteArray& bytes);
void error(const QString& message);
// Writes the message to standard error and gives kRefused.
int refuse(const QString& message);
// Writes the message (with the nearest known name, when one is close) and a
// pointer to the command's help, gives kBadUsage.
int badUsage(const QString& command, const QString& message);
int badUsage(const QString& command, const platform::cli::Usage& usage);

// The commands (one file each).
int runStatus(const Arguments& arguments);
int runCheck(const Arguments& arguments);
int runSettings(const Arguments& arguments);
int runGuests(const Arguments& arguments);
int runPassword(const Arguments& arguments);
int runUncheckout(const Arguments& arguments);
int runLamps(const Arguments& arguments);
int runReport(const Arguments& arguments);
int runLog(const Arguments& arguments);
int runStart(const Arguments& arguments);
int runStop(const Arguments& arguments);
int runAudit(const Arguments& arguments);

}  // namespace ctl
