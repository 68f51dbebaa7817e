#pragma once
// The command lines of the stand-ins' tools: COMMAND OPERAND... with
// "--name value", "--name=value" and "--switch" options, split as every
// program of the system splits them, and the frame of their main functions
// (--help, --version, usage errors exit 2, refusals and failures 1).
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

namespace simcli {

// Bad usage: the reason, and what was typed with the names known in its
// place (for the nearest-name hint).
struct UsageError {
    explicit UsageError(QString reason, QString typedText = QString(), QStringList known = {})
        : message(std::move(reason)), typed(std::move(typedText)), candidates(std::move(known)) {}
    QString message;
    QString typed;
    QStringList candidates;
};

class CommandArguments {
public:
    // `valued` options take a value; `switches` take none.
    CommandArguments(const QStringList& args, const QSet<QString>& valued, const QSet<QString>& switches = {});

    QString command() const { return m_positional.value(0); }
    QString operand(int n) const { return m_positional.value(n + 1); }
    bool has(const QString& name) const { return m_options.contains(name); }
    QString option(const QString& name) const { return m_options.value(name); }

    // Checks the operands and options a command takes (`global` options are
    // allowed everywhere). Raises UsageError.
    void expect(int operandsMin, int operandsMax, const QStringList& allowed = {}, const QStringList& required = {},
                const QStringList& global = {}) const;

private:
    QStringList m_positional;
    QMap<QString, QString> m_options;
};

QTextStream& out();
QTextStream& err();

// Runs a tool: --help or -h prints the usage on standard output, --version
// the version; a UsageError gives one line with the reason and a hint and
// 2; a platform::Error or a registry store failure prints the reason and
// gives 1.
int runTool(const char* name, const char* usage, int argc, char* argv[], const std::function<int(const QStringList&)>& run);

}  // namespace simcli
