#pragma once
// Every message box, question and input box of the administration goes
// through this interface, so tests can answer each question and read each
// text. The windows never show a message box themselves.
#include <QString>
#include <memory>
#include <optional>

class QWidget;

class Prompt {
public:
    virtual ~Prompt() = default;
    // A message with an OK button.
    virtual void message(const QString& text, QWidget* parent = nullptr) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool okCancel(const QString& text, QWidget* parent = nullptr) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool yesNo(const QString& text, QWidget* parent = nullptr) = 0;
    // A line of text, nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& text, const QString& initial = QString(),
                                             QWidget* parent = nullptr) = 0;
};

// The installed administration environment's prompt.
Prompt& prompt();
// Message boxes and the platform's dialogs.
std::shared_ptr<Prompt> dialogPrompt();
