#include "admin/AdminApplication.h"

#include "admin/localize/modLocalize.h"
#include "admin/prompt/Prompt.h"
#include "admin/windows/frmMain.h"
#include "common/ErrorTrap.h"
#include "sim/voxaren/ServerAccess.h"

QString adminErrorText(const QString& trapText) {
    // The trap writes "(error):"; the administration shows it in the user's language.
    static const QString prefix = QStringLiteral("(error):");
    return trapText.startsWith(prefix) ? modLocalize::myLoadResString(1003) + trapText.mid(prefix.size()) : trapText;
}

AdminApplication::AdminApplication(QStringList arguments) : m_arguments(std::move(arguments)) {}

AdminApplication::~AdminApplication() { ErrorTrap::setSink(nullptr); }

bool AdminApplication::start() {
    voxaren::installServerAccess();
    ErrorTrap::setSink([](const QString& text) { prompt().message(adminErrorText(text)); });
    m_main = std::make_unique<frmMain>(m_arguments);
    return m_main->Form_Load();
}
