#pragma once
// The prompt of the command-line administration: messages go to the
// terminal (information to standard output, warnings and errors to standard
// error, one line each), questions are asked on the terminal and read from
// standard input, and answered no when standard input is no terminal. A
// command that is told its answers (a password, --yes) does not ask.
#include <QString>
#include <optional>

#include "admin/core/Prompt.h"

class TerminalPrompt : public Prompt {
public:
    // Whether standard input is a terminal a person answers on.
    static bool interactive();

    void message(const QString& text, QWidget* parent = nullptr, Kind kind = Kind::Information) override;
    bool okCancel(const QString& text, QWidget* parent = nullptr, const QString& title = QString()) override;
    bool yesNo(const QString& text, QWidget* parent = nullptr) override;
    std::optional<QString> inputText(const QString& text, const QString& initial = QString(), QWidget* parent = nullptr,
                                     const QString& title = QString()) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& start, QWidget* parent = nullptr) override;
    std::optional<QString> chooseFileToOpen(const QString& title, const QString& start, const QString& filter,
                                            QWidget* parent = nullptr) override;

private:
    bool ask(const QString& text);
    std::optional<QString> readLine(const QString& question);
};
