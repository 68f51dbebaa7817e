#include "admin/windows/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTimeEdit>

#include "admin/AdminState.h"
#include "admin/GuestTemplate.h"
#include "admin/localize/modLocalize.h"
#include "admin/prompt/Prompt.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/WidgetHelpers.h"
#include "admin/windows/frmAbout.h"
#include "admin/windows/frmActivityViewer.h"
#include "admin/windows/frmHelp.h"
#include "admin/windows/frmRawPTCEDB.h"
#include "admin/windows/frmReports.h"
#include "common/ErrorTrap.h"
#include "common/PMSConnection.h"
#include "common/RegistryAPI.h"
#include "common/SettingsKey.h"
#include "common/VoiceServerConnection.h"
#include "common/VoxarenVersion.h"
#include "platform/db/recordset.h"
#include "platform/process.h"

using modLocalize::myLoadResString;
using namespace platform::db;

namespace {

constexpr const char* kServiceName = "OrvantaVoxarenStavio";

QString res(int id) { return myLoadResString(id); }

QTimeEdit* timePicker(QWidget* parent) {
    auto* edit = new QTimeEdit(parent);
    edit->setDisplayFormat(QStringLiteral("h:mm:ss AP"));
    return edit;
}

// Selects an entry by index; an index without entry leaves the selection.
void selectIndex(QComboBox* box, int index) {
    if (index >= 0 && index < box->count()) box->setCurrentIndex(index);
}

int secondsOfDay(const QTime& t) { return t.hour() * 3600 + t.minute() * 60 + t.second(); }

QDateTime onSettingDate(const QTime& t) { return QDateTime(QDate(2000, 1, 1), t); }

}  // namespace

frmMain::frmMain(QStringList arguments, QWidget* parent)
    : QMainWindow(parent), LocalizedWindow(this), m_arguments(std::move(arguments)) {
    setObjectName(QStringLiteral("frmMain"));
    buildControls();
    buildMenus();
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
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
    dtArchiveTimeStart = named(timePicker(central), "dtArchiveTimeStart");
    Label9 = named(new QLabel(central), "Label9");
    dtArchiveTimeStop = named(timePicker(central), "dtArchiveTimeStop");
    Label8 = named(new QLabel(central), "Label8");
    dtLogSweepTimeStart = named(timePicker(central), "dtLogSweepTimeStart");
    Label10 = named(new QLabel(central), "Label10");
    dtLogSweepTimeStop = named(timePicker(central), "dtLogSweepTimeStop");
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

    int row = 0;
    grid->addWidget(Label1, row, 0);
    grid->addWidget(txtPercipiaServerName, row, 1, 1, 3);
    grid->addWidget(cmdConnectToPrecipia, row++, 4);
    grid->addWidget(Label2, row, 0);
    grid->addWidget(cmbSubscriberTemplateAlias, row++, 1, 1, 3);
    grid->addWidget(Label3, row, 0);
    grid->addWidget(cmbSyncCycleMinutes, row++, 1);
    grid->addWidget(Label4, row, 0);
    grid->addWidget(cmbMailboxArchiveDays, row, 1);
    grid->addWidget(labelArchiveLimitWarning, row++, 2, 1, 3);
    grid->addWidget(Label5, row, 0);
    grid->addWidget(cmbLogRetentionDays, row++, 1);
    grid->addWidget(Label6, row, 0);
    grid->addWidget(txtLogPath, row, 1, 1, 3);
    grid->addWidget(cmbBrowseForLogPath, row++, 4);
    grid->addWidget(Label7, row, 0);
    grid->addWidget(dtArchiveTimeStart, row, 1);
    grid->addWidget(Label9, row, 2, Qt::AlignRight);
    grid->addWidget(dtArchiveTimeStop, row++, 3);
    grid->addWidget(Label8, row, 0);
    grid->addWidget(dtLogSweepTimeStart, row, 1);
    grid->addWidget(Label10, row, 2, Qt::AlignRight);
    grid->addWidget(dtLogSweepTimeStop, row++, 3);
    grid->addWidget(chkDebugMode, row++, 0, 1, 5);
    grid->addWidget(chkUseRoomNumberAsPassword, row++, 0, 1, 5);
    grid->addWidget(chkSkipPWForKnownExtension, row++, 0, 1, 5);
    grid->addWidget(chkSendWelcomeMessage, row++, 0, 1, 5);
    grid->addWidget(Label11, row, 0);
    grid->addWidget(txtGuestWelcomeMessageWAVPath, row, 1, 1, 3);
    grid->addWidget(Command1, row++, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdExit);
    grid->addLayout(buttons, row, 0, 1, 5);
    grid->setColumnStretch(3, 1);
    setCentralWidget(central);

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
    mnuViewGuest = action(mnuView, "mnuViewGuest", nullptr);
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

    // The guest view is not part of this program yet.
    mnuViewGuest->setEnabled(false);
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
    chkSkipPWForKnownExtension->setText(QStringLiteral("Skip password when guest is calling from room phone"));
    chkSendWelcomeMessage->setText(QStringLiteral("Add voice mail message for new guests:"));
    Label11->setText(QStringLiteral("Pah to welcome message WAV file:"));
    Command1->setText(res(1030));
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
}

bool frmMain::Form_Load() {
    ErrorTrap trap("Form_Load", "Form", "frmMain");
    AdminState& state = adminState();
    frmMain_Auto_Init();
    trap.step([&] {
        ReadVoxarenVersion();
        state.serverVersion = serverVersion();
        state.remote = state.serverVersion.Major == 0;
    });
    trap.step([&] {
        state.log = std::make_unique<AdminLog>(state.programFolder(), QStringLiteral("VoxarenStavioAdmin"));
        state.log->Start(state.serverVersion.Text);
    });

    const bool guestViewOnly = m_arguments.filter(QStringLiteral("guestview"), Qt::CaseInsensitive).size() > 0;
    if (guestViewOnly || state.remote) {
        hide();
        prompt().message(res(1014), this);
        return false;
    }
    if (!IsVoxarenVersionAtLeast(4, 0, 2, 104)) {
        prompt().message(res(1114), this);
        return false;
    }
    const QString connector = RegistryAPI::QueryValue(RegistryAPI::HKEY_LOCAL_MACHINE,
                                                      QStringLiteral("SOFTWARE\\Brightkeel\\SystemParameters\\1.0"),
                                                      QStringLiteral("IDCProgID"), RegistryAPI::REG_SZ, QString())
                                  .toString();
    if (connector.compare(QLatin1String("BkDcAdSvr.BkDcAd.1"), Qt::CaseInsensitive) != 0) {
        prompt().message(res(1144), this);
        return false;
    }
    // The PMS database is reached through the program's MySQL database driver.
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QMYSQL")) && prompt().yesNo(res(1145), this))
        platform::processRunner().run(state.programFolder() + QStringLiteral("/myODBCDriver.sh"), {}, -1, state.programFolder());

    if (!RegistryAPI::KeyExists(RegistryAPI::HKEY_LOCAL_MACHINE,
                                QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\") + QLatin1String(kServiceName))) {
        const platform::ProcessOutcome registered = platform::processRunner().run(
            state.programFolder() + QStringLiteral("/RegisterStavioService.sh"), {}, 30000, state.programFolder());
        if (!registered.succeeded()) {
            prompt().message(res(1059), this);
            return false;
        }
        prompt().message(res(1139), this);
    }
    state.voiceServerConnection = kLocalVoiceServerConnection;

    bool templateReady = false;
    trap.step([&] {
        BusyCursor busy;
        templateReady = CreateGuestCOSandTemplate();
    });
    if (!templateReady) {
        prompt().message(res(1118), this);
        return false;
    }
    QStringList aliases;
    trap.step([&] {
        Recordset rs;
        rs.Open(QStringLiteral("Select Alias from vw_SubscriberTemplate"), state.voiceServerConnection, adOpenKeyset,
                adLockReadOnly);
        for (; !rs.IsEOF(); rs.MoveNext()) aliases << rs.Text(QStringLiteral("Alias"));
    });
    if (aliases.isEmpty()) {
        prompt().message(res(1057), this);
        return false;
    }
    fillTemplateList(aliases);

    cmbLogRetentionDays->clear();
    for (int d = 5; d <= 90; ++d) cmbLogRetentionDays->addItem(QString::number(d));
    cmbLogRetentionDays->setCurrentIndex(0);
    cmbMailboxArchiveDays->clear();
    for (int d = 0; d <= 28; ++d) cmbMailboxArchiveDays->addItem(QString::number(d));
    cmbMailboxArchiveDays->setCurrentIndex(3);
    cmbSyncCycleMinutes->clear();
    for (int m = 1; m <= 20; ++m) cmbSyncCycleMinutes->addItem(QString::number(m));
    cmbSyncCycleMinutes->setCurrentIndex(0);

    LoadRegistryKeys();
    const bool skipPasswordKnown = IsVoxarenVersionAtLeast(4, 2, 0, 0);
    chkSkipPWForKnownExtension->setEnabled(skipPasswordKnown);
    if (!skipPasswordKnown) chkSkipPWForKnownExtension->setChecked(false);

    trap.step([&] {
        const std::shared_ptr<IServerObjects> locator = serverObjects();
        state.notifier = locator ? locator->GetNotifier() : nullptr;
    });
    show();
    return true;
}

void frmMain::fillTemplateList(const QStringList& aliases) {
    cmbSubscriberTemplateAlias->clear();
    cmbSubscriberTemplateAlias->addItems(aliases);
}

void frmMain::LoadRegistryKeys() {
    // Errors here are passed over without a message.
    AdminState& state = adminState();
    try {
        state.settings = LoadAdminSettings(state.programFolder());
    } catch (const std::exception&) {
        return;
    }
    const AdminSettings& s = state.settings;
    dtArchiveTimeStart->setTime(s.ArchiveMailboxStartTime.time());
    dtArchiveTimeStop->setTime(s.ArchiveMailboxStopTime.time());
    dtLogSweepTimeStart->setTime(s.LogSweepStartTime.time());
    dtLogSweepTimeStop->setTime(s.LogSweepStopTime.time());
    chkDebugMode->setChecked(s.DebugMode);
    txtPercipiaServerName->setText(s.PrecipiaServerName);
    txtLogPath->setText(s.PathToLogs);
    selectIndex(cmbLogRetentionDays, s.LogRetentionDays - 5);
    selectIndex(cmbMailboxArchiveDays, s.MailboxArchiveDays);
    selectIndex(cmbSyncCycleMinutes, s.SyncCycleMinutes - 1);
    chkUseRoomNumberAsPassword->setChecked(s.UseRoomNumberAsPassword);
    chkSendWelcomeMessage->setChecked(s.SendWelcomeMessage);
    chkSkipPWForKnownExtension->setChecked(s.SkipPasswordFromRoom);
    txtGuestWelcomeMessageWAVPath->setText(s.WelcomeMessageWavFilePath);
    try {
        Recordset rs;
        rs.Open(QStringLiteral("Select Alias from vw_SubscriberTemplate"), state.voiceServerConnection, adOpenKeyset,
                adLockReadOnly);
        if (!s.SubscriberTemplateAlias.isEmpty() && rs.FindEqual(QStringLiteral("Alias"), s.SubscriberTemplateAlias))
            cmbSubscriberTemplateAlias->setEditText(s.SubscriberTemplateAlias);
    } catch (const std::exception&) {
    }
}

void frmMain::cmdSave_Click() {
    ErrorTrap trap("cmdSave_Click", "Form", "frmMain");
    if (!(secondsOfDay(dtArchiveTimeStart->time()) < secondsOfDay(dtArchiveTimeStop->time()))) {
        prompt().message(res(1107), this);
        return;
    }
    if (!(secondsOfDay(dtLogSweepTimeStart->time()) < secondsOfDay(dtLogSweepTimeStop->time()))) {
        prompt().message(res(1106), this);
        return;
    }
    if (chkSendWelcomeMessage->isChecked()) {
        const QString wav = txtGuestWelcomeMessageWAVPath->text();
        if (wav.isEmpty()) {
            prompt().message(QStringLiteral("You must select a WAV file to be left as a voice mail message for new guests "
                                            "if you wish to use that option."),
                             this);
            return;
        }
        if (!QFileInfo(wav).isFile()) {
            prompt().message(QStringLiteral("Cannot find the selected WAV file for the welcome message for new guests"), this);
            return;
        }
        if (QFileInfo(wav).suffix().compare(QLatin1String("WAV"), Qt::CaseInsensitive) != 0) {
            prompt().message(QStringLiteral("You can only select a .WAV file to act as the welcome message for new guests"),
                             this);
            return;
        }
    }
    AdminState& state = adminState();
    AdminSettings& s = state.settings;
    s.PrecipiaServerName = txtPercipiaServerName->text();
    s.PathToLogs = txtLogPath->text();
    s.SubscriberTemplateAlias = cmbSubscriberTemplateAlias->currentText();
    s.LogRetentionDays = cmbLogRetentionDays->currentText().toInt();
    s.MailboxArchiveDays = cmbMailboxArchiveDays->currentText().toInt();
    s.SyncCycleMinutes = cmbSyncCycleMinutes->currentText().toInt();
    s.DebugMode = chkDebugMode->isChecked();
    s.ArchiveMailboxStartTime = onSettingDate(dtArchiveTimeStart->time());
    s.ArchiveMailboxStopTime = onSettingDate(dtArchiveTimeStop->time());
    s.LogSweepStartTime = onSettingDate(dtLogSweepTimeStart->time());
    s.LogSweepStopTime = onSettingDate(dtLogSweepTimeStop->time());
    s.UseRoomNumberAsPassword = chkUseRoomNumberAsPassword->isChecked();
    s.SendWelcomeMessage = chkSendWelcomeMessage->isChecked();
    s.WelcomeMessageWavFilePath = txtGuestWelcomeMessageWAVPath->text();
    s.SkipPasswordFromRoom = chkSkipPWForKnownExtension->isChecked();
    if (!trap.step([&] { setRegistryKeys(s, state.programFolder()); })) return;
    prompt().message(res(1097), this);
}

void frmMain::cmdConnectToPrecipia_Click() {
    BusyCursor busy;
    const QString server = txtPercipiaServerName->text();
    if (server.isEmpty()) {
        prompt().message(res(1126), this);
        return;
    }
    Recordset rs;
    rs.CursorLocation = adUseClient;
    try {
        rs.Open(QStringLiteral("SELECT * from vmstable"), PMSConnectionString(server), adOpenKeyset, adLockOptimistic);
    } catch (const std::exception&) {
    }
    prompt().message(rs.State() == adStateOpen ? res(1044) : res(1029), this);
}

void frmMain::cmbBrowseForLogPath_Click() {
    QString folder = QFileDialog::getExistingDirectory(this, QString(), txtLogPath->text());
    if (folder.isEmpty()) return;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    txtLogPath->setText(folder);
}

void frmMain::Command1_Click() {
    const QString file = QFileDialog::getOpenFileName(this, QString(), txtGuestWelcomeMessageWAVPath->text(),
                                                      QStringLiteral("WAV files (*.wav *.WAV);;All files (*)"));
    if (!file.isEmpty()) txtGuestWelcomeMessageWAVPath->setText(file);
}

void frmMain::chkSendWelcomeMessage_Click() {
    if (!isVisible() || !chkSendWelcomeMessage->isChecked()) return;
    prompt().message(QStringLiteral("WARNING!  For this feature to work you must have the OrvantaVoxarenStavio service "
                                    "running under the same account that the Dravmon service is running as.  This is not "
                                    "the default configuration.  See the help file for more details."),
                     this);
}

bool frmMain::runServiceCommand(const char* verb) {
    BusyCursor busy;
    return platform::processRunner()
        .run(QStringLiteral("systemctl"), {QLatin1String(verb), QLatin1String(kServiceName)}, 30000)
        .succeeded();
}

void frmMain::mnuStartService_Click() { prompt().message(runServiceCommand("start") ? res(1095) : res(1053), this); }

void frmMain::mnuStopService_Click() { prompt().message(runServiceCommand("stop") ? res(1096) : res(1054), this); }

void frmMain::UnregisterStavioService_Click() {
    if (!prompt().okCancel(res(1140), this)) return;
    const QString folder = adminState().programFolder();
    const platform::ProcessOutcome outcome =
        platform::processRunner().run(folder + QStringLiteral("/UnregisterStavioService.sh"), {}, 10000, folder);
    if (!outcome.succeeded()) {
        prompt().message(res(1141), this);
        return;
    }
    prompt().message(res(1142), this);
    endApplication();
}

void frmMain::mnuOpenCurrentLogFile_Click() {
    AdminState& state = adminState();
    if (!state.log || state.log->Path().isEmpty()) {
        prompt().message(res(1072), this);
        return;
    }
    state.log->Reopen();
    platform::processRunner().startDetached(QStringLiteral("xdg-open"), {state.log->Path()});
}

void frmMain::mnuOpenLoggingFolder_Click() {
    platform::processRunner().startDetached(QStringLiteral("xdg-open"), {adminState().programFolder() + QStringLiteral("/logs")});
}

void frmMain::mnuViewRawDB_Click() {
    const QString server = txtPercipiaServerName->text().trimmed();
    if (server.isEmpty()) {
        prompt().message(res(1137), this);
        return;
    }
    showModeless(new frmRawPTCEDB(server));
}

void frmMain::mnuShowActivityWindow_Click() { showModeless(new frmActivityViewer); }

void frmMain::mnuReports_Click() { showModeless(new frmReports); }

void frmMain::showModeless(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);  // each is its own window and goes when closed
    window->show();
}

void frmMain::mnuExit_Click() { endApplication(); }

void frmMain::endApplication() {
    m_ended = true;
    close();
    QApplication::quit();
}

void frmMain::mnuHelp_Click() { showModeless(new frmHelp); }
void frmMain::mnuAbout_Click() {
    // One box for the whole run: its language set-up happens when first shown.
    if (!m_about) m_about = std::make_unique<frmAbout>(this);
    m_about->exec();
}
