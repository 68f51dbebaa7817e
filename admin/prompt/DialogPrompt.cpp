#include "admin/prompt/DialogPrompt.h"

#include "admin/prompt/NameOnlyFileDialog.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// The title a box carries: its own, else the system's name.
QString title(const QString& own = QString()) { return own.isEmpty() ? QStringLiteral("Orvanta Voxaren Stavio") : own; }

// A box without a window of its own (an error trap's report) opens over the
// window the administrator works in, not somewhere on the screen.
QWidget* owner(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }

// A box asks for the user: the normal pointer while it is up, even amid long work.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowWhileAsking() { QApplication::restoreOverrideCursor(); }
};

class MessageBoxPrompt : public Prompt {
public:
    void message(const QString& text, QWidget* parent, Kind kind) override {
        ArrowWhileAsking arrow;
        switch (kind) {
            case Kind::Information: QMessageBox::information(owner(parent), title(), text, QMessageBox::Ok); break;
            case Kind::Warning: QMessageBox::warning(owner(parent), title(), text, QMessageBox::Ok); break;
            case Kind::Error: QMessageBox::critical(owner(parent), title(), text, QMessageBox::Ok); break;
        }
    }
    bool okCancel(const QString& text, QWidget* parent, const QString& caption) override {
        ArrowWhileAsking arrow;
        // Enter goes on, as in every desktop program; Escape cancels.
        return QMessageBox::question(owner(parent), title(caption), text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
               QMessageBox::Ok;
    }
    bool yesNo(const QString& text, QWidget* parent) override {
        ArrowWhileAsking arrow;
        return QMessageBox::question(owner(parent), title(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
               QMessageBox::Yes;
    }
    std::optional<QString> inputText(const QString& text, const QString& initial, QWidget* parent,
                                     const QString& caption) override {
        ArrowWhileAsking arrow;
        bool ok = false;
        const QString value = QInputDialog::getText(owner(parent), title(caption), text, QLineEdit::Normal, initial, &ok);
        return ok ? std::optional<QString>(value) : std::nullopt;
    }
    std::optional<QString> chooseFolder(const QString& caption, const QString& start, QWidget* parent) override {
        ArrowWhileAsking arrow;
        return chooseFolderByName(caption, start, owner(parent));
    }
    std::optional<QString> chooseFileToOpen(const QString& caption, const QString& start, const QString& filter,
                                            QWidget* parent) override {
        ArrowWhileAsking arrow;
        return chooseFileByName(caption, start, filter, owner(parent));
    }
};

}  // namespace

std::shared_ptr<Prompt> dialogPrompt() { return std::make_shared<MessageBoxPrompt>(); }
