// admin_screenshots: opens the administration's windows as a person would see
// them and saves each as a PNG, for looking at them under Xvfb:
//   scripts/embedded-env.sh /tmp/env
//   STAVIO_REGISTRY=/tmp/env/registry.db xvfb-run -a build/bin/admin_screenshots /tmp/shots
// Every message box the windows raise is answered with OK and printed, and
// every program they would run is printed instead. The
// main window, the About box, the reports window, the guest view, the raw
// table and the remote-connection window are saved once more in German
// (names ending in _DEU), the first three also enlarged (_DEU_enlarged). The guest view lists the
// server's guests (run the demo first to have some); the remote-connection
// window lists the servers of the first domain, the first one chosen.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTimer>
#include <cstdio>

#include "admin/AdminApplication.h"
#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "admin/localize/LoadedWindows.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmAbout.h"
#include "admin/windows/frmActivityViewer.h"
#include "admin/windows/frmGuestView.h"
#include "admin/windows/frmHelp.h"
#include "admin/windows/frmMain.h"
#include "admin/windows/frmRawPTCEDB.h"
#include "admin/windows/frmRemoteConnection.h"
#include "admin/windows/frmReports.h"
#include "common/SettingsTable.h"
#include "platform/process.h"
#include "sim/voxaren/ServerAccess.h"

namespace {

class PrintingPrompt : public Prompt {
public:
    void message(const QString& text, QWidget*, Kind) override { fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool okCancel(const QString& text, QWidget*, const QString&) override { return answer(text); }
    bool yesNo(const QString& text, QWidget*) override { return answer(text); }
    std::optional<QString> inputText(const QString& text, const QString&, QWidget*, const QString&) override {
        answer(text);
        return std::nullopt;
    }
    std::optional<QString> chooseFolder(const QString& title, const QString&, QWidget*) override {
        answer(title);
        return std::nullopt;
    }
    std::optional<QString> chooseFileToOpen(const QString& title, const QString&, const QString&, QWidget*) override {
        answer(title);
        return std::nullopt;
    }

private:
    static bool answer(const QString& text) {
        fprintf(stderr, "question (answered no): %s\n", qPrintable(text));
        return false;
    }
};

// Programs the windows would run (the service's registration, an editor) are
// printed, not run: taking pictures installs nothing.
class PrintingRunner : public platform::ProcessRunner {
public:
    platform::ProcessOutcome run(const QString& program, const QStringList& arguments, int, const QString&) override {
        fprintf(stderr, "not run: %s\n", qPrintable((QStringList{program} + arguments).join(QLatin1Char(' '))));
        return {true, false, 0, {}};
    }
    bool startWatched(const QString& program, const QStringList& arguments, FailureHandler) override {
        run(program, arguments, -1, QString());
        return true;
    }
};

void save(QWidget* window, const QString& folder, const char* name) {
    window->show();
    QApplication::processEvents();
    const QString file = folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    window->grab().save(file);
    fprintf(stderr, "saved %s\n", qPrintable(file));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureQtApplication();
    const QString folder = app.arguments().value(1, QStringLiteral("."));
    QDir().mkpath(folder);
    AdminEnv env(std::make_shared<PrintingPrompt>());
    env.setProcesses(std::make_shared<PrintingRunner>());
    voxaren::installServerAccess(env);

    AdminApplication admin(env, app.arguments().mid(0, 1));
    if (!admin.start()) {
        fprintf(stderr, "the administration ended at start\n");
        return 1;
    }
    save(admin.mainWindow(), folder, "frmMain");
    frmAbout about(admin.mainWindow());
    save(&about, folder, "frmAbout");
    frmHelp help;
    help.resize(900, 700);
    save(&help, folder, "frmHelp");
    frmActivityViewer activity;
    save(&activity, folder, "frmActivityViewer");
    frmRawPTCEDB raw(readSetting(Setting::PrecipiaServerName, SettingsReader::Administration).toString());
    save(&raw, folder, "frmRawPTCEDB");
    // The reports window, then a Room Activity report of today's logs,
    // grabbed while it runs.
    frmReports reports(admin.state());
    save(&reports, folder, "frmReports");
    frmGuestView guests(admin.state(), {QStringLiteral("VoxarenStavioAdmin")});
    guests.Form_Load();
    save(&guests, folder, "frmGuestView");
    frmRemoteConnection remote(admin.state(), &guests);
    if (remote.Form_Load()) {
        remote.cmdFindServers_Click();
        auto* servers = remote.findChild<QListWidget*>(QStringLiteral("listSQLServers"));
        if (servers->count() > 0) servers->setCurrentRow(0);
    }
    save(&remote, folder, "frmRemoteConnection");
    remote.hide();

    modLocalize::setCurrentLanguage(1031);
    modLocalize::InitalizeLanguages();
    for (LocalizedWindow* w : loadedWindows()) w->AutoInit();
    save(admin.mainWindow(), folder, "frmMain_DEU");
    about.adjustSize();
    save(&about, folder, "frmAbout_DEU");
    save(&reports, folder, "frmReports_DEU");
    save(&guests, folder, "frmGuestView_DEU");
    frmRemoteConnection remoteGerman(admin.state(), &guests);
    save(&remoteGerman, folder, "frmRemoteConnection_DEU");
    remoteGerman.hide();
    raw.AutoInit();
    save(&raw, folder, "frmRawPTCEDB_DEU");
    // Enlarged, as on a wide screen.
    for (QWidget* w : std::initializer_list<QWidget*>{admin.mainWindow(), &guests, &raw}) w->resize(1600, 1000);
    save(admin.mainWindow(), folder, "frmMain_DEU_enlarged");
    save(&guests, folder, "frmGuestView_DEU_enlarged");
    save(&raw, folder, "frmRawPTCEDB_DEU_enlarged");
    reports.resize(reports.minimumSize());
    save(&reports, folder, "frmReports_DEU_smallest");
    QTimer::singleShot(0, &reports, [&] { save(&reports, folder, "frmReports_running"); });
    reports.cmdCheckInOutReport_Click();
    return 0;
}
