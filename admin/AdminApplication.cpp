#include "admin/AdminApplication.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "admin/ApplicationIcon.h"
#include "admin/core/Prompt.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmMain.h"

void configureQtApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("VoxarenStavioAdmin"));
    // The launcher's name and icon: a desktop ties the windows to the launcher by them.
    QGuiApplication::setDesktopFileName(QStringLiteral("stavio-admin"));
    QGuiApplication::setWindowIcon(applicationIcon());
}

QString adminErrorText(const QString& trapText) {
    // The trap writes "(error):"; the administration shows it in the user's language.
    static const QString prefix = QStringLiteral("(error):");
    return trapText.startsWith(prefix) ? modLocalize::myLoadResString(1003) + trapText.mid(prefix.size()) : trapText;
}

void showErrorReport(const QString& trapText) { prompt().message(adminErrorText(trapText), nullptr, Prompt::Kind::Error); }

AdminApplication::AdminApplication(AdminEnv& env, QStringList arguments)
    : m_env(env), m_installed(env), m_arguments(std::move(arguments)) {
    m_env.errorSink = showErrorReport;
}

AdminApplication::~AdminApplication() = default;

bool AdminApplication::start() {
    m_main = std::make_unique<frmMain>(m_state, m_arguments);
    return m_main->Form_Load();
}
