// The settings window's controls, their layout, menus and captions.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimeEdit>

#include "admin/localize/modLocalize.h"
#include "admin/windows/Pickers.h"
#include "admin/windows/WidgetHelpers.h"
#include "admin/windows/frmMain.h"
#include "platform/datefmt.h"

namespace {

QString res(int id) { return modLocalize::myLoadResString(id); }

// Captions the system gives no id: the same in every language.
const char* const kSkipPasswordCaption = "S&kip password when guest is calling from room phone";
const char* const kSendWelcomeCaption = "Add voice mail message for new &guests:";
const char* const kWavPathCaption = "&Pah to welcome message WAV file:";

// Pickers and drop-downs keep their natural width when the window grows.
constexpr Qt::Alignment kNaturalWidth = Qt::AlignLeft | Qt::AlignVCenter;

}  // namespace

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    createControls(central);
    layOutControls(new QGridLayout(central));
    setCentralWidget(central);
    connectControls();
}

void frmMain::createControls(QWidget* central) {
    Label1 = named(new QLabel(central), "Label1");
    txtPercipiaServerName = named(new QLineEdit(central), "txtPercipiaServerName");
    cmdConnectToPrecipia = named(new QPushButton(central), "cmdConnectToPrecipia");
    Label2 = named(new QLabel(central), "Label2");
    cmbSubscriberTemplateAlias = named(new QComboBox(central), "cmbSubscriberTemplateAlias");
    cmbSubscriberTemplateAlias->setEditable(true);
    Label3 = named(new QLabel(central), "Label3");
    cmbSyncCycleMinutes = named(new QComboBox(central), "cmbSyncCycleMinutes");
    Label4 = named(new QLabel(central), "Label4");
    cmbMailboxArchiveDays = named(new QComboBox(central), "cmbMailboxArchiveDays");
    labelArchiveLimitWarning = named(new QLabel(central), "labelArchiveLimitWarning");
    Label5 = named(new QLabel(central), "Label5");
    cmbLogRetentionDays = named(new QComboBox(central), "cmbLogRetentionDays");
    Label6 = named(new QLabel(central), "Label6");
    txtLogPath = named(new QLineEdit(central), "txtLogPath");
    cmbBrowseForLogPath = named(new QPushButton(central), "cmbBrowseForLogPath");
    Label7 = named(new QLabel(central), "Label7");
    dtArchiveTimeStart = named(new TimePicker(central), "dtArchiveTimeStart");
    Label9 = named(new QLabel(central), "Label9");
    dtArchiveTimeStop = named(new TimePicker(central), "dtArchiveTimeStop");
    Label8 = named(new QLabel(central), "Label8");
    dtLogSweepTimeStart = named(new TimePicker(central), "dtLogSweepTimeStart");
    Label10 = named(new QLabel(central), "Label10");
    dtLogSweepTimeStop = named(new TimePicker(central), "dtLogSweepTimeStop");
    chkDebugMode = named(new QCheckBox(central), "chkDebugMode");
    chkUseRoomNumberAsPassword = named(new QCheckBox(central), "chkUseRoomNumberAsPassword");
    chkSkipPWForKnownExtension = named(new QCheckBox(central), "chkSkipPWForKnownExtension");
    chkSendWelcomeMessage = named(new QCheckBox(central), "chkSendWelcomeMessage");
    Label11 = named(new QLabel(central), "Label11");
    txtGuestWelcomeMessageWAVPath = named(new QLineEdit(central), "txtGuestWelcomeMessageWAVPath");
    Command1 = named(new QPushButton(central), "Command1");
    cmdSave = named(new QPushButton(central), "cmdSave");
    cmdExit = named(new QPushButton(central), "cmdExit");
    cmdSave->setDefault(true);
}

void frmMain::layOutControls(QGridLayout* grid) {
    // Each label leads to its control: its access key moves there.
    Label1->setBuddy(txtPercipiaServerName);
    Label2->setBuddy(cmbSubscriberTemplateAlias);
    Label3->setBuddy(cmbSyncCycleMinutes);
    Label4->setBuddy(cmbMailboxArchiveDays);
    labelArchiveLimitWarning->setBuddy(cmbMailboxArchiveDays);
    Label5->setBuddy(cmbLogRetentionDays);
    Label6->setBuddy(txtLogPath);
    Label7->setBuddy(dtArchiveTimeStart);
    Label9->setBuddy(dtArchiveTimeStop);
    Label8->setBuddy(dtLogSweepTimeStart);
    Label10->setBuddy(dtLogSweepTimeStop);
    Label11->setBuddy(txtGuestWelcomeMessageWAVPath);

    int row = 0;
    grid->addWidget(Label1, row, 0);
    grid->addWidget(txtPercipiaServerName, row, 1, 1, 3);
    grid->addWidget(cmdConnectToPrecipia, row++, 4);
    grid->addWidget(Label2, row, 0);
    grid->addWidget(cmbSubscriberTemplateAlias, row++, 1, 1, 3, kNaturalWidth);
    grid->addWidget(Label3, row, 0);
    grid->addWidget(cmbSyncCycleMinutes, row++, 1, kNaturalWidth);
    grid->addWidget(Label4, row, 0);
    grid->addWidget(cmbMailboxArchiveDays, row, 1, kNaturalWidth);
    grid->addWidget(labelArchiveLimitWarning, row++, 2, 1, 3);
    grid->addWidget(Label5, row, 0);
    grid->addWidget(cmbLogRetentionDays, row++, 1, kNaturalWidth);
    grid->addWidget(Label6, row, 0);
    grid->addWidget(txtLogPath, row, 1, 1, 3);
    grid->addWidget(cmbBrowseForLogPath, row++, 4);
    grid->addWidget(Label7, row, 0);
    grid->addWidget(dtArchiveTimeStart, row, 1, kNaturalWidth);
    grid->addWidget(Label9, row, 2, Qt::AlignRight);
    grid->addWidget(dtArchiveTimeStop, row++, 3, kNaturalWidth);
    grid->addWidget(Label8, row, 0);
    grid->addWidget(dtLogSweepTimeStart, row, 1, kNaturalWidth);
    grid->addWidget(Label10, row, 2, Qt::AlignRight);
    grid->addWidget(dtLogSweepTimeStop, row++, 3, kNaturalWidth);
    grid->addWidget(chkDebugMode, row++, 0, 1, 5);
    grid->addWidget(chkUseRoomNumberAsPassword, row++, 0, 1, 5);
    grid->addWidget(chkSkipPWForKnownExtension, row++, 0, 1, 5);
    grid->addWidget(chkSendWelcomeMessage, row++, 0, 1, 5);
    grid->addWidget(Label11, row, 0);
    grid->addWidget(txtGuestWelcomeMessageWAVPath, row, 1, 1, 3);
    grid->addWidget(Command1, row++, 4);
    // A taller window puts its room between the settings and the buttons.
    grid->setRowStretch(row++, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdExit);
    grid->addLayout(buttons, row, 0, 1, 5);
    grid->setColumnStretch(3, 1);
}

void frmMain::connectControls() {
    connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::mnuExit_Click);
    connect(cmdConnectToPrecipia, &QPushButton::clicked, this, &frmMain::cmdConnectToPrecipia_Click);
    connect(cmbBrowseForLogPath, &QPushButton::clicked, this, &frmMain::cmbBrowseForLogPath_Click);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(chkSendWelcomeMessage, &QCheckBox::clicked, this, &frmMain::chkSendWelcomeMessage_Click);
}

void frmMain::buildMenus() {
    const auto action = [this](QMenu* menu, const char* name, void (frmMain::*slot)()) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QLatin1String(name));
        if (slot) connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuFile = menuBar()->addMenu(QString());
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuStartService = action(mnuFile, "mnuStartService", &frmMain::mnuStartService_Click);
    mnuStopService = action(mnuFile, "mnuStopService", &frmMain::mnuStopService_Click);
    UnregisterStavioService = action(mnuFile, "UnregisterStavioService", &frmMain::UnregisterStavioService_Click);
    mnuFile->addSeparator();
    mnuExit = action(mnuFile, "mnuExit", &frmMain::mnuExit_Click);

    mnuView = menuBar()->addMenu(QString());
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuShowActivityWindow = action(mnuView, "mnuShowActivityWindow", &frmMain::mnuShowActivityWindow_Click);
    mnuViewGuest = action(mnuView, "mnuViewGuest", &frmMain::mnuViewGuest_Click);
    mnuReports = action(mnuView, "mnuReports", &frmMain::mnuReports_Click);
    mnuView->addSeparator();
    mnuOpenCurrentLogFile = action(mnuView, "mnuOpenCurrentLogFile", &frmMain::mnuOpenCurrentLogFile_Click);
    mnuOpenLoggingFolder = action(mnuView, "mnuOpenLoggingFolder", &frmMain::mnuOpenLoggingFolder_Click);
    mnuViewRawDB = action(mnuView, "mnuViewRawDB", &frmMain::mnuViewRawDB_Click);

    mnuHelpMenu = menuBar()->addMenu(QString());
    mnuHelpMenu->setObjectName(QStringLiteral("mnuHelpMenu"));
    mnuHelp = action(mnuHelpMenu, "mnuHelp", &frmMain::mnuHelp_Click);
    mnuAbout = action(mnuHelpMenu, "mnuAbout", &frmMain::mnuAbout_Click);
    mnuHelp->setShortcut(QKeySequence::HelpContents);
}

void frmMain::frmMain_Auto_Init() {
    modLocalize::ApplyLanguageFont(this);
    setWindowTitle(res(1037));
    Label1->setText(res(1068));
    cmdConnectToPrecipia->setText(res(1043));
    Label2->setText(res(1101));
    Label3->setText(res(1104));
    Label4->setText(res(1067));
    labelArchiveLimitWarning->setText(res(1147));
    Label5->setText(res(1066));
    Label6->setText(res(1077));
    cmbBrowseForLogPath->setText(res(1030));
    Label7->setText(res(1032));
    Label9->setText(res(1115));
    Label8->setText(res(1033));
    Label10->setText(res(1115));
    chkDebugMode->setText(res(1065));
    chkUseRoomNumberAsPassword->setText(res(1146));
    chkSkipPWForKnownExtension->setText(QLatin1String(kSkipPasswordCaption));
    chkSendWelcomeMessage->setText(QLatin1String(kSendWelcomeCaption));
    Label11->setText(QLatin1String(kWavPathCaption));
    Command1->setText(res(1150));  // "Browse..." with an access key of its own
    cmdSave->setText(res(1092));
    cmdExit->setText(res(1058));
    mnuFile->setTitle(res(1060));
    mnuStartService->setText(res(1098));
    mnuStopService->setText(res(1099));
    UnregisterStavioService->setText(res(1143));
    mnuExit->setText(res(1058));
    mnuView->setTitle(res(1123));
    mnuShowActivityWindow->setText(res(1094));
    mnuViewGuest->setText(res(1062));
    mnuReports->setText(res(1085));
    mnuOpenCurrentLogFile->setText(res(1076));
    mnuOpenLoggingFolder->setText(res(1075));
    mnuViewRawDB->setText(res(1124));
    mnuHelpMenu->setTitle(res(1063));
    mnuHelp->setText(res(1063));
    mnuAbout->setText(res(1024));
    // Times read as the machine's regional format, like every date of the program.
    const QString timeFormat = platform::datefmt::regionalFormat().timePattern;
    for (QTimeEdit* picker : {dtArchiveTimeStart, dtArchiveTimeStop, dtLogSweepTimeStart, dtLogSweepTimeStop})
        picker->setDisplayFormat(timeFormat);
}
