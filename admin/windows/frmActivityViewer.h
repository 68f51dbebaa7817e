#pragma once
// The activity viewer: the service's current diagnostic log (the registry's
// "CurrentLogFile"), kept up to date every two seconds while the service
// writes it. It only reads the file. A window of its own, not modal.
#include <QWidget>
#include <memory>

#include "admin/localize/LoadedWindows.h"

class LogLineView;
class LogLines;
class QCheckBox;
class QPushButton;
class QTimer;

class frmActivityViewer : public QWidget, public LocalizedWindow {
    Q_OBJECT
public:
    // Builds the window and opens the log (Form_Load); the messages for a
    // missing log are shown here. With a parent it still is a window of its own.
    explicit frmActivityViewer(QWidget* parent = nullptr);
    ~frmActivityViewer() override;

    void Form_Load();
    void AutoInit() override { frmActivityViewer_Auto_Init(); }
    void frmActivityViewer_Auto_Init();

    // Adds what the service wrote since the last refresh and shows the end.
    // A log that was replaced or shortened is shown anew. Only the lines in
    // view are read from the file, so a large log opens at once.
    void RefreshText();
    void Timer_Timer() { RefreshText(); }
    void cmdPause_Click();
    void chkAlwaysOnTop_Click();
    void cmdExit_Click();

    // The log shown ("" while idle).
    QString logFile() const;

private:
    void setCaptions();

    LogLineView* myRTF;
    QCheckBox* chkAlwaysOnTop;
    QPushButton* cmdPause;
    QPushButton* cmdExit;
    QTimer* Timer;

    std::unique_ptr<LogLines> m_log;
    bool m_paused = false;
    // A failing refresh reports once until a refresh succeeds again, and a
    // tick while its message is open does not start another refresh.
    bool m_failing = false;
    bool m_refreshing = false;
};
