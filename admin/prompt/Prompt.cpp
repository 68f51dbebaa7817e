#include "admin/prompt/Prompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// The title every box carries: the program's own name.
QString title() { return QApplication::applicationDisplayName(); }

// A box asks for the user: the normal pointer while it is up, even amid long work.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowWhileAsking() { QApplication::restoreOverrideCursor(); }
};

class MessageBoxPrompt : public Prompt {
public:
    void message(const QString& text, QWidget* parent) override {
        ArrowWhileAsking arrow;
        QMessageBox::information(parent, title(), text, QMessageBox::Ok);
    }
    bool okCancel(const QString& text, QWidget* parent) override {
        ArrowWhileAsking arrow;
        return QMessageBox::question(parent, title(), text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) ==
               QMessageBox::Ok;
    }
    bool yesNo(const QString& text, QWidget* parent) override {
        ArrowWhileAsking arrow;
        return QMessageBox::question(parent, title(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
               QMessageBox::Yes;
    }
    std::optional<QString> inputText(const QString& text, const QString& initial, QWidget* parent) override {
        ArrowWhileAsking arrow;
        bool ok = false;
        const QString value = QInputDialog::getText(parent, title(), text, QLineEdit::Normal, initial, &ok);
        return ok ? std::optional<QString>(value) : std::nullopt;
    }
};

std::shared_ptr<Prompt>& current() {
    static std::shared_ptr<Prompt> instance = std::make_shared<MessageBoxPrompt>();
    return instance;
}

}  // namespace

Prompt& prompt() { return *current(); }

void setPrompt(std::shared_ptr<Prompt> replacement) {
    current() = replacement ? std::move(replacement) : std::make_shared<MessageBoxPrompt>();
}
