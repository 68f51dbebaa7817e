#pragma once
// The help window: shows the help page VoxarenStavioAdmin.htm from the
// program's folder. Not modal; opened from the main window's Help menu.
#include <QWidget>

#include "admin/localize/LoadedWindows.h"

class QTextBrowser;

class frmHelp : public QWidget, public LocalizedWindow {
    Q_OBJECT
public:
    // Builds the window and loads the page (Form_Load). With a parent it
    // still is a window of its own.
    explicit frmHelp(QWidget* parent = nullptr);
    ~frmHelp() override;

    // Sets the caption and fonts, then shows the page. A missing page shows
    // whatever the browser shows for it; there is no message of our own.
    void Form_Load();
    void AutoInit() override { frmHelp_Auto_Init(); }
    void frmHelp_Auto_Init();

    // Where the page is looked for: the program's folder + "/VoxarenStavioAdmin.htm".
    static QString helpPagePath();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Resize();

    QTextBrowser* browserHelp;
};
