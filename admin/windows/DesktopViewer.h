#pragma once
// Opening a file or folder in the desktop's own viewer.
#include <QString>

class QWidget;

// Starts xdg-open for `path` and lets it go. Raises platform::Error 53 "File not
// found" naming xdg-open and the path when it cannot be started, so the
// error trap tells the administrator what to open by hand. When xdg-open
// starts but finds no viewer (no desktop, as over SSH), a warning on
// `window` names the path and xdg-open's own reason once it has ended.
void openInDesktopViewer(const QString& path, QWidget* window);
