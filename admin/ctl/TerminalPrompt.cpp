#include "admin/ctl/TerminalPrompt.h"

#include <unistd.h>

#include <QTextStream>
#include <cstdio>
#include <utility>

#include "admin/core/AdminEnv.h"
#include "admin/ctl/CtlCommand.h"

bool TerminalPrompt::interactive() { return ::isatty(STDIN_FILENO) == 1; }

void TerminalPrompt::message(const QString& text, QWidget*, Kind kind) {
    if (kind == Kind::Information)
        ctl::out(text + QLatin1Char('\n'));
    else
        ctl::error(text);
}

std::optional<QString> TerminalPrompt::readLine(const QString& question) {
    if (!interactive()) return std::nullopt;
    std::fputs((question + QLatin1Char(' ')).toUtf8().constData(), stderr);
    std::fflush(stderr);
    QTextStream in(stdin);
    const QString line = in.readLine();
    if (line.isNull()) return std::nullopt;  // end of input
    return line;
}

bool TerminalPrompt::ask(const QString& text) {
    const std::optional<QString> answer = readLine(text + QStringLiteral(" [y/N]"));
    if (!answer) return false;
    const QString word = answer->trimmed().toLower();
    return word == QLatin1String("y") || word == QLatin1String("yes");
}

bool TerminalPrompt::okCancel(const QString& text, QWidget*, const QString&) { return ask(text); }

bool TerminalPrompt::yesNo(const QString& text, QWidget*) { return ask(text); }

std::optional<QString> TerminalPrompt::inputText(const QString& text, const QString&, QWidget*, const QString&) {
    return readLine(text);
}

std::optional<QString> TerminalPrompt::chooseFolder(const QString&, const QString&, QWidget*) { return std::nullopt; }

std::optional<QString> TerminalPrompt::chooseFileToOpen(const QString&, const QString&, const QString&, QWidget*) {
    return std::nullopt;
}
