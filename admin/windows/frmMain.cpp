#include "admin/windows/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTimeEdit>

#include "admin/GuestTemplate.h"
#include "admin/core/AdminEnv.h"
#include "admin/core/AdminState.h"
#include "admin/core/CommandLine.h"
#include "admin/core/Prompt.h"
#include "admin/core/ServiceControl.h"
#include "admin/core/StoreAccess.h"
#include "admin/core/settings/PmsServerTest.h"
#include "admin/core/settings/SettingsChecks.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/DesktopViewer.h"
#include "admin/windows/frmAbout.h"
#include "admin/windows/frmActivityViewer.h"
#include "admin/windows/frmGuestView.h"
#include "admin/windows/frmHelp.h"
#include "admin/windows/frmRawPTCEDB.h"
#include "admin/windows/frmReports.h"
#include "common/DiagnosticLogFile.h"
#include "common/ErrorTrap.h"
#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "common/SubscriberTemplates.h"
#include "common/VoiceServerConnection.h"
#include "common/VoxarenVersion.h"
#include "platform/process.h"

using modLocalize::myLoadResString;
using Kind = Prompt::Kind;

namespace {

QString res(int id) { return myLoadResString(id); }

// Selects an entry by index; an index without entry leaves the selection.
void selectIndex(QComboBox* box, int index) {
    if (index >= 0 && index < box->count()) box->setCurrentIndex(index);
}

QDateTime onSettingDate(const QTime& t) { return QDateTime(QDate(2000, 1, 1), t); }

}  // namespace

frmMain::frmMain(AdminState& admin, QStringList arguments, QWidget* parent)
    : QMainWindow(parent),
      LocalizedWindow(this),
      m_admin(admin),
      m_arguments(std::move(arguments)) {
    setObjectName(QStringLiteral("frmMain"));
    buildControls();
    buildMenus();
}

frmMain::~frmMain() {
    // The windows it opened go with it.
    delete m_activityViewer.data();
    delete m_reports.data();
    delete m_rawTable.data();
    delete m_guestView.data();
    delete m_help.data();
}

// The start-up in its steps; each that fails has told the user why.
bool frmMain::Form_Load() {
    ErrorTrap trap("Form_Load", "Form", "frmMain");
    frmMain_Auto_Init();
    if (!readServerAndStartLog(trap)) return false;
    if (guestViewRequested(m_arguments) || m_admin.remote) {
        hide();
        return openGuestViewOnly();
    }
    if (!checkMachine() || !prepareTemplates(trap)) return false;
    fillSettingChoices();
    trap.step([this] {
        const std::shared_ptr<IServerObjects> locator = serverObjects();
        m_admin.notifier = locator ? locator->GetNotifier() : nullptr;
    });
    show();
    return true;
}

bool frmMain::readServerAndStartLog(ErrorTrap& trap) {
    AdminState& state = m_admin;
    // A store this user cannot read would pass for a machine without a server.
    if (const std::optional<QString> refusal = storeReadRefusal()) {
        prompt().message(res(1152) + *refusal, this, Kind::Error);
        return false;
    }
    trap.step([&] {
        ReadVoxarenVersion();
        state.serverVersion = serverVersion();
        state.remote = state.serverVersion.Major == 0;
    });
    trap.step([&] {
        state.log = std::make_unique<AdminLog>(adminEnv().programFolder(),
                                               QStringLiteral("VoxarenStavioAdmin"));
        // Each line lets the windows handle their pending messages.
        state.log->setAfterWrite([] { QCoreApplication::processEvents(); });
        state.log->Start(state.serverVersion.Text);
    });
    return true;
}

// The server's version, its directory connector, the store's rights, the
// database driver and the service's registration.
bool frmMain::checkMachine() {
    AdminState& state = m_admin;
    if (!IsVoxarenVersionAtLeast(4, 0, 2, 104)) {
        prompt().message(res(1114), this, Kind::Error);
        return false;
    }
    const QString connector = RegistryAPI::QueryValue(RegistryAPI::HKEY_LOCAL_MACHINE,
                                                      QStringLiteral("SOFTWARE\\Brightkeel\\SystemParameters\\1.0"),
                                                      QStringLiteral("IDCProgID"), RegistryAPI::REG_SZ, QString())
                                  .toString();
    if (connector.compare(QLatin1String("BkDcAdSvr.BkDcAd.1"), Qt::CaseInsensitive) != 0) {
        prompt().message(res(1144), this, Kind::Error);
        return false;
    }
    // From here on the start-up changes the store (the service's registration,
    // the settings key): a user who may not is told why at once.
    if (const std::optional<QString> refusal = storeWriteRefusal()) {
        prompt().message(res(1151) + *refusal, this, Kind::Error);
        return false;
    }
    // The PMS database is reached through the program's MySQL database driver.
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QMYSQL")) && prompt().yesNo(res(1145), this))
        platform::processRunner().run(
            adminEnv().programFolder() + QStringLiteral("/myODBCDriver.sh"), {}, -1,
            adminEnv().programFolder());

    if (!RegistryAPI::KeyExists(RegistryAPI::HKEY_LOCAL_MACHINE,
                                QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\") + QLatin1String(kStavioServiceName))) {
        const platform::ProcessOutcome registered = platform::processRunner().run(
            adminEnv().programFolder() + QStringLiteral("/RegisterStavioService.sh"), {}, 30000,
            adminEnv().programFolder());
        if (!registered.succeeded()) {
            prompt().message(res(1059), this, Kind::Error);
            return false;
        }
        prompt().message(res(1139), this);
    }
    state.voiceServerConnection = kLocalVoiceServerConnection;
    return true;
}

bool frmMain::prepareTemplates(ErrorTrap& trap) {
    AdminState& state = m_admin;
    bool templateReady = false;
    trap.step([&] {
        BusyCursor busy;
        templateReady = CreateGuestCOSandTemplate(state.voiceServerConnection);
    });
    if (!templateReady) {
        prompt().message(res(1118), this, Kind::Error);
        return false;
    }
    QStringList aliases;
    trap.step([&] { aliases = SubscriberTemplates::aliases(state.voiceServerConnection); });
    if (aliases.isEmpty()) {
        prompt().message(res(1057), this, Kind::Error);
        return false;
    }
    fillTemplateList(aliases);
    return true;
}

void frmMain::fillSettingChoices() {
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
}

bool frmMain::openGuestViewOnly() {
    auto* view = new frmGuestView(m_admin, m_arguments);
    view->setAttribute(Qt::WA_DeleteOnClose);
    m_guestView = view;
    if (!view->Form_Load()) {
        delete view;
        return false;
    }
    view->show();
    return true;
}

void frmMain::fillTemplateList(const QStringList& aliases) {
    cmbSubscriberTemplateAlias->clear();
    cmbSubscriberTemplateAlias->addItems(aliases);
}

void frmMain::selectTemplate(const QString& alias) {
    cmbSubscriberTemplateAlias->setCurrentIndex(
        alias.isEmpty() ? -1 : cmbSubscriberTemplateAlias->findText(alias, Qt::MatchFixedString));
    cmbSubscriberTemplateAlias->setEditText(alias);
}

void frmMain::LoadRegistryKeys() {
    // Errors here are passed over without a message.
    AdminState& state = m_admin;
    try {
        state.settings = LoadAdminSettings(adminEnv().programFolder());
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
    // A stored template the server no longer has is not replaced by another:
    // none is chosen, and the administrator chooses one before saving.
    bool found = false;
    try {
        found =
            !s.SubscriberTemplateAlias.isEmpty() &&
            SubscriberTemplates::isListed(s.SubscriberTemplateAlias, state.voiceServerConnection);
    } catch (const std::exception&) {
    }
    selectTemplate(found ? s.SubscriberTemplateAlias : QString());
}

void frmMain::cmdSave_Click() {
    ErrorTrap trap("cmdSave_Click", "Form", "frmMain");
    AdminState& state = m_admin;
    AdminSettings s = state.settings;
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
    if (const std::optional<QString> refusal = settingsRefusal(s)) {
        prompt().message(*refusal, this, Kind::Warning);
        return;
    }
    s.PathToLogs = savedLogFolder(s.PathToLogs);
    txtLogPath->setText(s.PathToLogs);
    state.settings = s;
    if (!trap.step([&] { setRegistryKeys(s, adminEnv().programFolder()); })) return;
    for (const QString& warning : settingsSavedWarnings(s, state.voiceServerConnection))
        prompt().message(warning, this, Kind::Warning);
    prompt().message(res(1097), this);
}

void frmMain::cmdConnectToPrecipia_Click() {
    BusyCursor busy;
    const QString server = txtPercipiaServerName->text();
    if (server.isEmpty()) {
        prompt().message(res(1126), this, Kind::Warning);
        return;
    }
    if (pmsServerAnswers(server))
        prompt().message(res(1044), this);
    else
        prompt().message(res(1029), this, Kind::Error);
}

void frmMain::cmbBrowseForLogPath_Click() {
    const std::optional<QString> chosen = prompt().chooseFolder(res(1009), txtLogPath->text(), this);
    if (!chosen || chosen->isEmpty()) return;
    QString folder = *chosen;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    txtLogPath->setText(folder);
}

void frmMain::Command1_Click() {
    const std::optional<QString> file =
        prompt().chooseFileToOpen(res(1010), txtGuestWelcomeMessageWAVPath->text(),
                                  res(1011) + QStringLiteral(";;") + res(1012), this);
    if (file && !file->isEmpty()) txtGuestWelcomeMessageWAVPath->setText(*file);
}

void frmMain::chkSendWelcomeMessage_Click() {
    if (!isVisible() || !chkSendWelcomeMessage->isChecked()) return;
    prompt().message(res(1173), this, Kind::Warning);
}

void frmMain::runServiceCommand(ServiceCommand command, int doneText, int failedText) {
    const ServiceCommandOutcome outcome = [command] {
        BusyCursor busy;
        return controlService(command);
    }();
    if (outcome.tookEffect())
        prompt().message(res(doneText), this);
    else
        prompt().message(res(failedText) + QStringLiteral("\n\n") + serviceCommandProblem(command, outcome), this,
                         Kind::Error);
}

void frmMain::mnuStartService_Click() { runServiceCommand(ServiceCommand::Start, 1095, 1053); }

void frmMain::mnuStopService_Click() { runServiceCommand(ServiceCommand::Stop, 1096, 1054); }

void frmMain::UnregisterStavioService_Click() {
    if (!prompt().okCancel(res(1140), this)) return;
    const QString folder = adminEnv().programFolder();
    const platform::ProcessOutcome outcome =
        platform::processRunner().run(folder + QStringLiteral("/UnregisterStavioService.sh"), {}, 10000, folder);
    if (!outcome.succeeded()) {
        prompt().message(res(1141), this, Kind::Error);
        return;
    }
    prompt().message(res(1142), this);
    endApplication();
}

void frmMain::mnuOpenCurrentLogFile_Click() {
    AdminState& state = m_admin;
    if (!state.log || state.log->Path().isEmpty()) {
        prompt().message(res(1072), this, Kind::Warning);
        return;
    }
    state.log->Reopen();
    ErrorTrap trap("mnuOpenCurrentLogFile_Click", "Form", "frmMain");
    trap.step([&] { openInDesktopViewer(state.log->Path(), this); });
}

void frmMain::mnuOpenLoggingFolder_Click() {
    ErrorTrap trap("mnuOpenLoggingFolder_Click", "Form", "frmMain");
    trap.step([this] {
        openInDesktopViewer(adminEnv().programFolder() + QStringLiteral("/logs"), this);
    });
}

template <class Window, class Make>
void frmMain::showOnce(QPointer<Window>& open, Make make) {
    // A closed window only waits to be deleted: a new one takes its place.
    if (!open || !open->isVisible()) {
        open = make();
        open->setAttribute(Qt::WA_DeleteOnClose);  // a window of its own that goes when closed
    }
    if (open->isMinimized())
        open->showNormal();
    else
        open->show();
    open->raise();
    open->activateWindow();
}

void frmMain::mnuViewRawDB_Click() {
    const QString server = txtPercipiaServerName->text().trimmed();
    if (server.isEmpty()) {
        prompt().message(res(1137), this, Kind::Warning);
        return;
    }
    // The open table stays when it shows this server; another server's makes way.
    if (m_rawTable && m_rawTable->serverName().trimmed() != server) m_rawTable->close();
    showOnce(m_rawTable, [&] { return new frmRawPTCEDB(server); });
}

void frmMain::mnuShowActivityWindow_Click() {
    // The open viewer stays while it follows the service's current log; once
    // the service has begun another (or had none), a new viewer reads it.
    if (m_activityViewer) {
        QString current;
        ErrorTrap trap("mnuShowActivityWindow_Click", "Form", "frmMain");
        trap.step([&] { current = readSetting(Setting::CurrentLogFile, SettingsReader::Administration).toString(); });
        if (m_activityViewer->logFile() != current) m_activityViewer->close();
    }
    showOnce(m_activityViewer, [] { return new frmActivityViewer; });
}

frmGuestView* frmMain::guestView() const { return m_guestView.data(); }

void frmMain::mnuViewGuest_Click() {
    showOnce(m_guestView, [this] {
        auto* view = new frmGuestView(m_admin, m_arguments);
        view->Form_Load();  // on the server's own machine it always stays
        return view;
    });
}

void frmMain::mnuReports_Click() {
    showOnce(m_reports, [this] { return new frmReports(m_admin); });
}

void frmMain::mnuExit_Click() { endApplication(); }

void frmMain::endApplication() {
    m_ended = true;
    close();
    QApplication::quit();
}

void frmMain::mnuHelp_Click() {
    showOnce(m_help, [] { return new frmHelp; });
}
void frmMain::mnuAbout_Click() {
    // One box for the whole run: its language set-up happens when first shown.
    if (!m_about) m_about = std::make_unique<frmAbout>(this);
    m_about->exec();
}
