// VoxarenStavioAdmin: the administration program of the Stavio service.
#include <sys/stat.h>

#include <QApplication>

#include "admin/AdminApplication.h"
#include "admin/prompt/DialogPrompt.h"
#include "sim/voxaren/ServerAccess.h"

int main(int argc, char* argv[]) {
    // What it makes (the registry store, logs, reports) holds guest data: for
    // its owner and the administrators' group only.
    ::umask(0007);
    QApplication app(argc, argv);
    configureQtApplication();
    // The program's environment: the machine's real services, this machine's
    // voice-messaging server, and the dialogs a person answers.
    AdminEnv env(dialogPrompt());
    voxaren::installServerAccess(env);
    AdminApplication admin(env, app.arguments());
    if (!admin.start()) return 0;
    return QApplication::exec();
}
