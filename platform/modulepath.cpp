#include "platform/modulepath.h"

#include <dlfcn.h>

#include <QFileInfo>

namespace platform {

namespace {
QFileInfo moduleInfo(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    QFileInfo file(QString::fromLocal8Bit(info.dli_fname));
    // The main program reports the name it was started by; resolve it.
    if (!file.isAbsolute()) file = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    return file;
}
}  // namespace

QString moduleFolder(const void* address) { return moduleInfo(address).absolutePath(); }

QString moduleFileName(const void* address) { return moduleInfo(address).fileName(); }

}  // namespace platform
