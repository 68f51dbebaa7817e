#pragma once
// Opening a file or folder in the desktop's own viewer.
#include <QString>

// Starts xdg-open for `path` and lets it go. Raises StavioError 53 "File not
// found" naming xdg-open and the path when it cannot be started, so the
// error trap tells the administrator what to open by hand.
void openInDesktopViewer(const QString& path);
