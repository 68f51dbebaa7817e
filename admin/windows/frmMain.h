#pragma once
// The main window: checks the machine at start, edits the service's settings,
// tests the PMS connection, starts, stops and unregisters the service, and
// opens the program's other windows. Its controls, their layout and captions
// are built in frmMainControls.cpp.
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "admin/core/ServiceControl.h"
#include "admin/localize/LoadedWindows.h"

struct AdminState;
class ErrorTrap;
class QGridLayout;
class frmAbout;
class frmActivityViewer;
class frmGuestView;
class frmHelp;
class frmRawPTCEDB;
class frmReports;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimeEdit;

class frmMain : public QMainWindow, public LocalizedWindow {
    Q_OBJECT
public:
    // Works on `admin`, which outlives it, and hands it to the windows it opens.
    frmMain(AdminState& admin, QStringList arguments, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up checks and loading of the settings; false when the program
    // is to end. Shows the window when it is to stay.
    bool Form_Load();
    void AutoInit() override { frmMain_Auto_Init(); }
    void frmMain_Auto_Init();
    void LoadRegistryKeys();

    void cmdSave_Click();
    void cmdConnectToPrecipia_Click();
    void cmbBrowseForLogPath_Click();
    void Command1_Click();
    void chkSendWelcomeMessage_Click();
    void mnuStartService_Click();
    void mnuStopService_Click();
    void UnregisterStavioService_Click();
    void mnuOpenCurrentLogFile_Click();
    void mnuOpenLoggingFolder_Click();
    void mnuViewRawDB_Click();
    void mnuShowActivityWindow_Click();
    void mnuViewGuest_Click();
    void mnuReports_Click();
    void mnuHelp_Click();
    void mnuAbout_Click();
    void mnuExit_Click();

    // Whether the program has been told to end (unregistered, exit).
    bool ended() const { return m_ended; }
    // The open guest view, if any.
    frmGuestView* guestView() const;

private:
    void buildControls();
    void createControls(QWidget* central);
    void layOutControls(QGridLayout* grid);
    void connectControls();
    void buildMenus();
    void fillTemplateList(const QStringList& aliases);
    // Shows the alias as the chosen template; an empty one leaves none chosen.
    void selectTemplate(const QString& alias);
    // Opens the guest view as the program's one window; false when it ended the program.
    bool openGuestViewOnly();
    bool readServerAndStartLog(ErrorTrap& trap);
    bool checkMachine();
    bool prepareTemplates(ErrorTrap& trap);
    void fillSettingChoices();
    void endApplication();
    // Runs the command and tells its outcome: the done text, or the failed text and why.
    void runServiceCommand(ServiceCommand command, int doneText, int failedText);
    // Opens the window `open` holds, made by `make` when none is open, and brings it to the front.
    template <class Window, class Make>
    void showOnce(QPointer<Window>& open, Make make);

    AdminState& m_admin;
    QStringList m_arguments;
    bool m_ended = false;
    std::unique_ptr<frmAbout> m_about;
    // The modeless windows: one of each at a time.
    QPointer<frmActivityViewer> m_activityViewer;
    QPointer<frmReports> m_reports;
    QPointer<frmGuestView> m_guestView;
    QPointer<frmRawPTCEDB> m_rawTable;
    QPointer<frmHelp> m_help;

    QLabel *Label1, *Label2, *Label3, *Label4, *labelArchiveLimitWarning, *Label5, *Label6, *Label7, *Label8, *Label9,
        *Label10, *Label11;
    QLineEdit *txtPercipiaServerName, *txtLogPath, *txtGuestWelcomeMessageWAVPath;
    QPushButton *cmdConnectToPrecipia, *cmbBrowseForLogPath, *Command1, *cmdSave, *cmdExit;
    QComboBox *cmbSubscriberTemplateAlias, *cmbSyncCycleMinutes, *cmbMailboxArchiveDays, *cmbLogRetentionDays;
    QTimeEdit *dtArchiveTimeStart, *dtArchiveTimeStop, *dtLogSweepTimeStart, *dtLogSweepTimeStop;
    QCheckBox *chkDebugMode, *chkUseRoomNumberAsPassword, *chkSkipPWForKnownExtension, *chkSendWelcomeMessage;
    QMenu *mnuFile, *mnuView, *mnuHelpMenu;
    QAction *mnuStartService, *mnuStopService, *UnregisterStavioService, *mnuExit, *mnuShowActivityWindow, *mnuViewGuest,
        *mnuReports, *mnuOpenCurrentLogFile, *mnuOpenLoggingFolder, *mnuViewRawDB, *mnuHelp, *mnuAbout;
};
