#pragma once
// The About box: the program's version, its maker and legal notices, and the
// choice of language, which switches every open window at once. Once opened
// it stays loaded; OK only hides it, so its loading runs once per run.
#include <QDialog>

#include "admin/localize/LoadedWindows.h"

class QLabel;
class QMenu;
class QPushButton;

class frmAbout : public QDialog, public LocalizedWindow {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    // Captions, version, the language set-up and the language menu; runs
    // when the box is first shown.
    void Form_Load();
    void AutoInit() override { frmAbout_Auto_Init(); }
    void frmAbout_Auto_Init();

    void lblChangeLanguage_Click();
    // Makes the language of the menu item at index current in every window.
    void mnuLanguageList_Click(int index);
    void cmdOK_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildLanguageMenu();
    void showCurrentLanguage();

    bool m_loaded = false;
    QLabel *lblProductName, *lblVersionTitle, *lblVersion, *lblLanguageTitle, *lblLanguage;
    QLabel *lblCompanyName, *lblCompanyAddress, *lblCopyright, *lblWarning, *lblTrademarks;
    QLabel* lblChangeLanguage;
    QPushButton* cmdOK;
    QMenu* mnuSelectLanguage;
};
