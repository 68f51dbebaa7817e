#pragma once
// The administration's windows that are loaded, so a language change can
// set every one's captions anew. A window registers itself for its lifetime.
#include <QList>
#include <QString>

class QWidget;

class LocalizedWindow {
public:
    explicit LocalizedWindow(QWidget* window);
    virtual ~LocalizedWindow();
    LocalizedWindow(const LocalizedWindow&) = delete;
    LocalizedWindow& operator=(const LocalizedWindow&) = delete;

    // The window's auto-init procedure (<window name>_Auto_Init): applies the
    // language's fonts and sets every caption from the string table.
    virtual void AutoInit() = 0;
    QWidget* window() const { return m_window; }

private:
    QWidget* m_window;
};

QList<LocalizedWindow*> loadedWindows();

// Sizes given in twips: 15 twips to a pixel.
constexpr int twips(int value) { return value / 15; }
