#include "platform/commandline.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace platform::cli {

namespace {

int editDistance(const QString& a, const QString& b) {
    std::vector<int> previous(size_t(b.size()) + 1), current(size_t(b.size()) + 1);
    for (qsizetype j = 0; j <= b.size(); ++j) previous[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int substitution = previous[size_t(j - 1)] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[size_t(j)] = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, substitution});
        }
        std::swap(previous, current);
    }
    return previous[size_t(b.size())];
}

QString program() { return QCoreApplication::applicationName(); }

}  // namespace

QString nearestName(const QString& typed, const QStringList& known) {
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

int badUsage(const QString& reason, const QString& typed, const QStringList& candidates) {
    QString line = program() + QStringLiteral(": ") + reason;
    if (!typed.isEmpty())
        if (const QString nearest = nearestName(typed, candidates); !nearest.isEmpty())
            line += QStringLiteral(" (did you mean '%1'?)").arg(nearest);
    line += QStringLiteral("; try '%1 --help'").arg(program());
    QTextStream(stderr) << line << '\n';
    return kBadUsage;
}

std::optional<int> parse(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                         const QStringList& arguments) {
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
        const QStringList unknown = parser.unknownOptionNames();
        const QString typed = unknown.isEmpty() ? QString() : QStringLiteral("--") + unknown.constFirst();
        QString reason = parser.errorText();
        if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
        return badUsage(reason, typed, known);
    }
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << program() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    return std::nullopt;
}

}  // namespace platform::cli
