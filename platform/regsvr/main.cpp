// regsvr: loads a control plug-in and runs its self-registration, which
// records its ProgID in the class registry (or, with -u, removes it).
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "platform/com/classregistry.h"
#include "platform/commandline.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    platform::cli::identify(QStringLiteral("regsvr"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Registers a control plug-in: loads it and runs its self-registration, which records its ProgID in the "
        "class registry of the machine's registry store."));
    const QString epilogue = QStringLiteral(
        "Environment:\n"
        "  STAVIO_REGISTRY  the registry store; by default /var/lib/stavio/registry.db\n"
        "\nExit status:\n"
        "  0  done\n"
        "  1  the registration failed (the plug-in's reason on standard error)\n"
        "  2  bad usage\n");
    parser.addPositionalArgument(QStringLiteral("PLUGIN.so"), QStringLiteral("The plug-in's shared library."));
    const QCommandLineOption unregister(QStringLiteral("u"), QStringLiteral("Removes the registration instead."));
    if (const std::optional<int> exit = platform::cli::parse(parser, {unregister}, app.arguments(), epilogue)) return *exit;
    if (parser.positionalArguments().size() != 1)
        return platform::cli::badUsage(parser.positionalArguments().isEmpty() ? QStringLiteral("no plug-in given")
                                                                             : QStringLiteral("one plug-in at a time"));
    const QString library = QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
    const bool removing = parser.isSet(unregister);
    const platform::com::Status status = platform::com::runSelfRegistration(library, removing);
    if (status.failed()) {
        fprintf(stderr, "regsvr: %s failed for %s: 0x%08X %s\n",
                removing ? "unregistration" : "registration", qPrintable(library),
                unsigned(status.code), qPrintable(status.error));
        return 1;
    }
    return 0;
}
