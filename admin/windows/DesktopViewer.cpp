#include "admin/windows/DesktopViewer.h"

#include "common/StavioError.h"
#include "platform/process.h"

void openInDesktopViewer(const QString& path) {
    if (!platform::processRunner().startDetached(QStringLiteral("xdg-open"), {path}))
        throw StavioError(errnum::FileNotFound, QStringLiteral("File not found: xdg-open, to open ") + path);
}
