#pragma once
// The prompt of the command-line administration: messages go to the
// terminal (information to standard output, warnings and errors to standard
// error, one line each), questions are asked on the terminal and read from
// standard input. Questions are answered yes without asking when told so,
// and no when standard input is no terminal. An input box is answered with
// a text given beforehand (the command's own argument), else asked.
#include <QString>
#include <optional>

#include "admin/core/Prompt.h"

class TerminalPrompt : public Prompt {
public:
    // Every question from now on is answered yes.
    void answerYes() { m_answerYes = true; }
    // The next input box is answered with this text.
    void answerInput(const QString& text) { m_input = text; }
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

    bool m_answerYes = false;
    std::optional<QString> m_input;
};

// The installed environment's prompt when it is a terminal's, else nullptr.
TerminalPrompt* terminalPrompt();
