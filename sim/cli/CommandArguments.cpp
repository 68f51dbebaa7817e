#include "sim/cli/CommandArguments.h"

#include <sys/stat.h>

#include <QCoreApplication>

#include "platform/commandline.h"
#include "platform/error.h"

namespace simcli {

CommandArguments::CommandArguments(const QStringList& args, const QSet<QString>& valued, const QSet<QString>& switches) {
    platform::cli::Words words;
    const QStringList valuedNames(valued.cbegin(), valued.cend());
    const QStringList switchNames(switches.cbegin(), switches.cend());
    if (const std::optional<platform::cli::Usage> problem = platform::cli::split(args, switchNames, valuedNames, words))
        throw UsageError{problem->reason, problem->typed, problem->candidates};
    m_positional = words.positional;
    for (const QString& name : words.flags) m_options.insert(name, QString());
    for (auto it = words.values.cbegin(); it != words.values.cend(); ++it) m_options.insert(it.key(), it.value());
}

void CommandArguments::expect(int operandsMin, int operandsMax, const QStringList& allowed, const QStringList& required,
                              const QStringList& global) const {
    const qsizetype operands = m_positional.size() - 1;
    if (operands < operandsMin || operands > operandsMax)
        throw UsageError{command() + QStringLiteral(": wrong number of arguments")};
    for (auto it = m_options.cbegin(); it != m_options.cend(); ++it)
        if (!global.contains(it.key()) && !allowed.contains(it.key()))
            throw UsageError{command() + QStringLiteral(" does not take ") + it.key()};
    for (const QString& name : required)
        if (!m_options.contains(name)) throw UsageError{command() + QStringLiteral(" needs ") + name};
}

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

int runTool(const char* name, const char* usage, int argc, char* argv[], const std::function<int(const QStringList&)>& run) {
    // The stand-ins' databases hold guest data: for their owner and the
    // administrators' group only, as the real servers keep theirs.
    ::umask(0007);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    platform::cli::identify(QLatin1String(name));
    int rc = 0;
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out() << usage;
    } else if (args.contains(QLatin1String("--version"))) {
        out() << platform::cli::versionLine();
    } else {
        try {
            rc = run(args);
        } catch (const UsageError& e) {
            err().flush();
            rc = platform::cli::badUsage({e.message, e.typed, e.candidates});
        } catch (const platform::Error& e) {
            err() << name << ": " << e.description() << "\n";
            rc = 1;
        }
    }
    out().flush();
    err().flush();
    return rc;
}

}  // namespace simcli
