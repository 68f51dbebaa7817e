#pragma once
// The command-line conventions every program of the system keeps, on top of
// QCommandLineParser: --help and -h print the help on standard output and
// exit 0; --version prints the program's name and version and exits 0; an
// unknown option or a bad value gives one line with the reason, the nearest
// option when one is close, and a hint, on standard error, and exit 2.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform::cli {

inline constexpr int kBadUsage = 2;

// Adds the options and the standard ones to `parser` and parses `arguments`
// (the program's name first). nullopt: the program goes on; a value: it
// exits with that status, everything said.
std::optional<int> parse(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                         const QStringList& arguments);

// Reports bad usage found after parsing (a missing argument, an unknown
// command) as parse does, and gives kBadUsage. `candidates` are the names
// the program knows in that place, for the nearest-name hint.
int badUsage(const QString& reason, const QString& typed = QString(), const QStringList& candidates = {});

// The known name nearest to `typed` (at most a third of its letters
// different), or "".
QString nearestName(const QString& typed, const QStringList& known);

}  // namespace platform::cli
