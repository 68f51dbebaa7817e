#pragma once
// Catches a window that shows a dialog past the prompt interface: every
// 50 ms it closes the modal window it finds, but for those the test drives
// itself, and the test fails at its end naming the dialog's class.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

class DirectDialogWatch {
public:
    // `driven` tells the modal windows a test answers itself.
    void start(std::function<bool(QWidget*)> driven = {}) {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this, driven] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || (driven && driven(modal))) return;
            m_dialog = modal->metaObject()->className();
            modal->close();
        });
        m_timer.start();
    }
    void stopAndCheck() {
        m_timer.stop();
        EXPECT_TRUE(m_dialog.isEmpty()) << "a " << m_dialog.toStdString() << " was shown past the prompt";
    }

private:
    QTimer m_timer;
    QString m_dialog;
};
