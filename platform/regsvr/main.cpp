// regsvr: loads a control plug-in and runs its self-registration, which
// records its ProgID in the class registry (or, with -u, removes it).
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "platform/com/classregistry.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    const bool unregister = !args.isEmpty() && args.first() == QLatin1String("-u");
    if (unregister) args.removeFirst();
    if (args.size() != 1) {
        fputs("usage: regsvr [-u] PLUGIN.so\n", stderr);
        return 2;
    }
    const QString library = QFileInfo(args.first()).absoluteFilePath();
    QString error;
    const platform::com::HRESULT hr = platform::com::runSelfRegistration(library, unregister, &error);
    if (platform::com::failed(hr)) {
        fprintf(stderr, "regsvr: %s failed for %s: 0x%08X %s\n", unregister ? "unregistration" : "registration",
                qPrintable(library), unsigned(hr), qPrintable(error));
        return 1;
    }
    return 0;
}
