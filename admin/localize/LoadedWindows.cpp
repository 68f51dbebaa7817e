#include "admin/localize/LoadedWindows.h"

namespace {
QList<LocalizedWindow*>& windows() {
    static QList<LocalizedWindow*> list;
    return list;
}
}  // namespace

LocalizedWindow::LocalizedWindow(QWidget* window) : m_window(window) { windows().append(this); }

LocalizedWindow::~LocalizedWindow() { windows().removeAll(this); }

QList<LocalizedWindow*> loadedWindows() { return windows(); }
