#pragma once
// Answers the administration's questions and file dialogs from a script and
// records every text it was shown, in order, with the kind of each message.
#include <QStringList>
#include <deque>
#include <vector>

#include "admin/core/Prompt.h"

class ScriptedPrompt : public Prompt {
public:
    struct Message {
        QString text;
        Kind kind;
    };
    // A file dialog as it was opened.
    struct Dialog {
        enum class Type { Folder, FileToOpen } type;
        QString title;
        QString start;
        QString filter;  // file dialogs only
    };

    void message(const QString& text, QWidget*, Kind kind) override {
        shown << text;
        messages.push_back({text, kind});
    }
    bool okCancel(const QString& text, QWidget*, const QString& title) override {
        titles << title;
        return answer(text);
    }
    bool yesNo(const QString& text, QWidget*) override {
        titles << QString();
        return answer(text);
    }
    std::optional<QString> inputText(const QString& text, const QString&, QWidget*, const QString& title) override {
        titles << title;
        shown << text;
        return next(inputs);
    }
    std::optional<QString> chooseFolder(const QString& title, const QString& start, QWidget*) override {
        dialogs.push_back({Dialog::Type::Folder, title, start, QString()});
        return next(choices);
    }
    std::optional<QString> chooseFileToOpen(const QString& title, const QString& start, const QString& filter,
                                            QWidget*) override {
        dialogs.push_back({Dialog::Type::FileToOpen, title, start, filter});
        return next(choices);
    }

    // The kind of the last message shown with this text; nullopt when none was.
    std::optional<Kind> kindOf(const QString& text) const {
        for (auto it = messages.rbegin(); it != messages.rend(); ++it)
            if (it->text == text) return it->kind;
        return std::nullopt;
    }

    QStringList shown;                           // every text, messages and questions alike
    QStringList titles;                          // the title of every question and input box, in order
    std::vector<Message> messages;               // the messages alone, with their kinds
    std::vector<Dialog> dialogs;                 // every file dialog opened
    std::deque<bool> answers;                    // for questions; an unscripted question is answered no
    std::deque<std::optional<QString>> inputs;   // for input boxes; nullopt cancels
    std::deque<std::optional<QString>> choices;  // for file dialogs; nullopt (or none left) cancels

private:
    bool answer(const QString& text) {
        shown << text;
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    static std::optional<QString> next(std::deque<std::optional<QString>>& script) {
        if (script.empty()) return std::nullopt;
        const std::optional<QString> value = script.front();
        script.pop_front();
        return value;
    }
};
