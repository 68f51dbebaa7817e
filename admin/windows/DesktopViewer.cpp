#include "admin/windows/DesktopViewer.h"

#include <QPointer>
#include <QWidget>

#include "admin/core/Prompt.h"
#include "admin/core/localize/LanguageStrings.h"
#include "common/ErrorNumbers.h"
#include "platform/process.h"

void openInDesktopViewer(const QString& path, QWidget* window) {
    const QPointer<QWidget> owner = window;
    const auto noViewer = [owner, path](const platform::ProcessOutcome& outcome) {
        const QString reason = outcome.errorOutput.isEmpty()
                                   ? QStringLiteral("xdg-open ended with exit status %1").arg(outcome.exitCode)
                                   : outcome.errorOutput;
        prompt().message(modLocalize::myLoadResString(1157) + path + QStringLiteral("\n\n") + reason, owner.data(),
                         Prompt::Kind::Warning);
    };
    if (!platform::processRunner().startWatched(QStringLiteral("xdg-open"), {path}, noViewer))
        throw platform::Error(errnum::FileNotFound, QStringLiteral("File not found: xdg-open, to open ") + path);
}
