// stavioctl: the administration of the Stavio service from a shell, over the
// same code the administration program runs.
#include <sys/stat.h>

#include <QCoreApplication>

#include "admin/core/AdminEnv.h"
#include "admin/ctl/CtlCommand.h"
#include "admin/ctl/TerminalPrompt.h"
#include "platform/commandline.h"
#include "sim/voxaren/ServerAccess.h"

int main(int argc, char* argv[]) {
    // What it makes (the registry store, logs, reports) holds guest data: for
    // its owner and the administrators' group only.
    ::umask(0007);
    QCoreApplication app(argc, argv);
    platform::cli::identify(QStringLiteral("stavioctl"));
    // The machine's real services, this machine's voice-messaging server, and
    // the terminal for every message and question.
    AdminEnv env(std::make_shared<TerminalPrompt>());
    voxaren::installServerAccess(env);
    // The error trap's reports are errors on the terminal.
    env.errorSink = [](const QString& message) { ctl::error(message); };
    platform::ScopedEnv installed(env);
    return ctl::runCommandLine(app.arguments().mid(1));
}
