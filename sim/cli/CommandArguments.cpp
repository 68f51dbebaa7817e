#include "sim/cli/CommandArguments.h"

#include <sys/stat.h>

#include <QCoreApplication>

#include "platform/error.h"
#include "platform/registry.h"

namespace simcli {

CommandArguments::CommandArguments(const QStringList& args, const QSet<QString>& valued, const QSet<QString>& switches) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args[i];
        if (!name.startsWith(QLatin1String("--"))) {
            m_positional << name;
            continue;
        }
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        const bool inlineValue = eq > 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (switches.contains(name) && !inlineValue) {
            m_options.insert(name, QString());
        } else if (valued.contains(name)) {
            if (!inlineValue) {
                if (++i >= args.size()) throw UsageError{name + QStringLiteral(" needs a value")};
                value = args[i];
            }
            m_options.insert(name, value);
        } else {
            throw UsageError{QStringLiteral("unknown option ") + args[i]};
        }
    }
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
    int rc = 0;
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out() << usage;
    } else {
        try {
            rc = run(args);
        } catch (const UsageError& e) {
            err() << name << ": " << e.message << "\n" << usage;
            rc = 2;
        } catch (const platform::Error& e) {
            err() << name << ": " << e.description() << "\n";
            rc = 1;
        } catch (const platform::RegistryError& e) {
            err() << name << ": registry store: " << e.what() << "\n";
            rc = 1;
        }
    }
    out().flush();
    err().flush();
    return rc;
}

}  // namespace simcli
