#pragma once
// Answers the administration's questions from a script and records every text
// it was shown, in order.
#include <QStringList>
#include <deque>

#include "admin/prompt/Prompt.h"

class ScriptedPrompt : public Prompt {
public:
    void message(const QString& text, QWidget*) override { shown << text; }
    bool okCancel(const QString& text, QWidget*) override { return answer(text); }
    bool yesNo(const QString& text, QWidget*) override { return answer(text); }
    std::optional<QString> inputText(const QString& text, const QString&, QWidget*) override {
        shown << text;
        if (inputs.empty()) return std::nullopt;
        const std::optional<QString> value = inputs.front();
        inputs.pop_front();
        return value;
    }

    QStringList shown;                         // every text, messages and questions alike
    std::deque<bool> answers;                  // for questions; an unscripted question is answered no
    std::deque<std::optional<QString>> inputs;  // for input boxes; nullopt cancels

private:
    bool answer(const QString& text) {
        shown << text;
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};
