#pragma once
// The command-line conventions every program of the system keeps, on top of
// QCommandLineParser: --help and -h print the help on standard output and
// exit 0; --version prints the program's name and version and exits 0; an
// unknown option or a bad value gives one line with the reason, the nearest
// option when one is close, and a hint, on standard error, and exit 2.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform::cli {

inline constexpr int kBadUsage = 2;

// Names the program (for its messages and its help) and gives it the
// system's version.
void identify(const QString& name);
// What --version prints: "<program> <version>" and a line end.
QString versionLine();

// Adds the options and the standard ones to `parser` and parses `arguments`
// (the program's name first). nullopt: the program goes on; a value: it
// exits with that status, everything said. `epilogue` follows the options
// in the help: sections such as "Environment:", "Exit status:" and "See
// also:", each a heading line and indented lines (the manual page takes
// them as its sections).
std::optional<int> parse(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                         const QStringList& arguments, const QString& epilogue = QString());

// Bad usage found after parsing (a missing argument, an unknown command):
// the reason, and what was typed with the names the program knows in that
// place, for the nearest-name hint.
struct Usage {
    QString reason;
    QString typed;
    QStringList candidates;
};

// Reports bad usage as parse does and gives kBadUsage. `helpCall` is the
// call the hint offers; by default "<program> --help".
int badUsage(const Usage& usage, const QString& helpCall = QString());
inline int badUsage(const QString& reason) { return badUsage(Usage{reason, {}, {}}); }

// A command line's positional words and options, for a program of commands
// (each with options of its own) that frames its help itself.
struct Words {
    QStringList positional;
    QStringList flags;               // given options without value ("--csv")
    QHash<QString, QString> values;  // given options with value ("--from" -> "2026-03-01")

    bool has(const QString& flag) const { return flags.contains(flag); }
    bool has(const char* flag) const { return flags.contains(QLatin1String(flag)); }
    QString value(const QString& option) const { return values.value(option); }
    QString value(const char* option) const { return values.value(QLatin1String(option)); }
};

// Splits `arguments` (without the program's name) by QCommandLineParser's
// rules ("--name value", "--name=value", "--" ends the options); `flags` and
// `valued` are the known option names with their dashes, "-h" and "--help"
// always among the flags (as "--help"). An unknown option or a missing value
// gives its Usage.
std::optional<Usage> split(const QStringList& arguments, const QStringList& flags, const QStringList& valued,
                           Words& words);

// The known name nearest to `typed`, letter case ignored: one it begins,
// else one at most a third of its letters away (a swap of two neighbours
// counts as one), or "".
QString nearestName(const QString& typed, const QStringList& known);

}  // namespace platform::cli
