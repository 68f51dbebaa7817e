#pragma once
// Every message box, question, input box and file dialog of the
// administration goes through this interface, so tests can answer each
// question, read each text and choose each file. The windows never show a
// message box or a dialog of the platform themselves.
#include <QString>
#include <functional>
#include <optional>

class QWidget;

class Prompt {
public:
    // What a message tells, shown by its icon.
    enum class Kind { Information, Warning, Error };

    virtual ~Prompt() = default;
    // A message with an OK button.
    virtual void message(const QString& text, QWidget* parent = nullptr, Kind kind = Kind::Information) = 0;
    // A question with OK and Cancel; true for OK. An empty title is the system's name.
    virtual bool okCancel(const QString& text, QWidget* parent = nullptr, const QString& title = QString()) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool yesNo(const QString& text, QWidget* parent = nullptr) = 0;
    // A line of text, nullopt when cancelled. An empty title is the system's name.
    virtual std::optional<QString> inputText(const QString& text, const QString& initial = QString(),
                                             QWidget* parent = nullptr, const QString& title = QString()) = 0;
    // A folder of the file system, starting at `start`; nullopt when cancelled.
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& start,
                                                QWidget* parent = nullptr) = 0;
    // An existing file to open, starting at `start`, offered through `filter`
    // ("WAV files (*.wav);;All files (*)"); nullopt when cancelled.
    virtual std::optional<QString> chooseFileToOpen(const QString& title, const QString& start, const QString& filter,
                                                    QWidget* parent = nullptr) = 0;
};

// The installed administration environment's prompt.
Prompt& prompt();

// How a command of the administration tells its user what happened: its
// caller shows it in its own way (a window through the prompt, stavioctl on
// the terminal).
using Tell = std::function<void(const QString& text, Prompt::Kind kind)>;
