#include "platform/commandline.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "stavio_version.h"

namespace platform::cli {

namespace {

// Letters to change, insert, delete or swap with their neighbour to make
// one name the other, letter case ignored.
int editDistance(const QString& typed, const QString& known) {
    const QString a = typed.toLower(), b = known.toLower();
    const size_t rows = size_t(a.size()) + 1, columns = size_t(b.size()) + 1;
    std::vector<int> d(rows * columns);
    auto at = [&](size_t i, size_t j) -> int& { return d[i * columns + j]; };
    for (size_t i = 0; i < rows; ++i) at(i, 0) = int(i);
    for (size_t j = 0; j < columns; ++j) at(0, j) = int(j);
    for (size_t i = 1; i < rows; ++i)
        for (size_t j = 1; j < columns; ++j) {
            const bool same = a[qsizetype(i - 1)] == b[qsizetype(j - 1)];
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + (same ? 0 : 1)});
            if (i > 1 && j > 1 && a[qsizetype(i - 1)] == b[qsizetype(j - 2)] && a[qsizetype(i - 2)] == b[qsizetype(j - 1)])
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    return at(rows - 1, columns - 1);
}

QString program() { return QCoreApplication::applicationName(); }

QString withoutDashes(const QString& name) {
    return name.startsWith(QLatin1String("--")) ? name.mid(2) : name.mid(1);
}

// The reason of a failed parse, with the option typed and the known ones.
Usage parseProblem(const QCommandLineParser& parser, const QStringList& known) {
    const QStringList unknown = parser.unknownOptionNames();
    QString reason = parser.errorText();
    if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
    return {reason, unknown.isEmpty() ? QString() : QStringLiteral("--") + unknown.constFirst(),
            known + QStringList{QStringLiteral("--help"), QStringLiteral("--version")}};
}

}  // namespace

void identify(const QString& name) {
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(STAVIO_VERSION_TEXT));
}

QString versionLine() { return program() + QLatin1Char(' ') + QCoreApplication::applicationVersion() + QLatin1Char('\n'); }

QString nearestName(const QString& typed, const QStringList& known) {
    // A name the typed text begins ("Debug" for "Debug Mode") is the nearest.
    if (typed.size() >= 3)
        for (const QString& name : known)
            if (name.startsWith(typed, Qt::CaseInsensitive)) return name;
    QString nearest;
    int best = std::max<int>(1, int(typed.size()) / 3) + 1;
    for (const QString& name : known) {
        const int distance = editDistance(typed, name);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

int badUsage(const Usage& usage, const QString& helpCall) {
    QString line = program() + QStringLiteral(": ") + usage.reason;
    if (!usage.typed.isEmpty())
        if (const QString nearest = nearestName(usage.typed, usage.candidates); !nearest.isEmpty())
            line += QStringLiteral(" (did you mean '%1'?)").arg(nearest);
    line += QStringLiteral("; try '%1'").arg(helpCall.isEmpty() ? program() + QStringLiteral(" --help") : helpCall);
    QTextStream(stderr) << line << '\n';
    return kBadUsage;
}

std::optional<int> parse(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                         const QStringList& arguments, const QString& epilogue) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Shows the program's version."));
    parser.addOptions(options);
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(arguments)) {
        QStringList known;
        for (const QCommandLineOption& option : options)
            for (const QString& name : option.names()) known << QStringLiteral("--") + name;
        return badUsage(parseProblem(parser, known));
    }
    if (parser.isSet(help)) {
        // Qt names the program as it was called ("./stavio-audit"); the help
        // names it by its name, as its manual page does.
        QString text = parser.helpText();
        const qsizetype usageEnd = text.indexOf(QLatin1Char(' '), text.indexOf(QLatin1Char(' ')) + 1);
        text.replace(0, usageEnd, QStringLiteral("Usage: ") + program());
        QTextStream(stdout) << text << (epilogue.isEmpty() ? QString() : QLatin1Char('\n') + epilogue);
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << versionLine();
        return 0;
    }
    return std::nullopt;
}

std::optional<Usage> split(const QStringList& arguments, const QStringList& flags, const QStringList& valued,
                           Words& words) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QString()));
    for (const QString& flag : flags)
        if (flag != QLatin1String("--help")) parser.addOption(QCommandLineOption(withoutDashes(flag), QString()));
    for (const QString& option : valued)
        parser.addOption(QCommandLineOption(withoutDashes(option), QString(), QStringLiteral("value")));
    if (!parser.parse(QStringList{program()} + arguments)) return parseProblem(parser, flags + valued);
    words.positional = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("help"))) words.flags << QStringLiteral("--help");
    for (const QString& flag : flags)
        if (parser.isSet(withoutDashes(flag)) && !words.flags.contains(flag)) words.flags << flag;
    for (const QString& option : valued)
        if (parser.isSet(withoutDashes(option))) words.values.insert(option, parser.value(withoutDashes(option)));
    return std::nullopt;
}

}  // namespace platform::cli
