// VoxarenStavioAdmin: the administration program of the Stavio service.
#include <QApplication>

#include "admin/AdminApplication.h"
#include "sim/voxaren/ServerAccess.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureQtApplication();
    // The program's environment: the machine's real services and this
    // machine's voice-messaging server.
    AdminEnv env;
    voxaren::installServerAccess(env);
    AdminApplication admin(env, app.arguments());
    if (!admin.start()) return 0;
    return QApplication::exec();
}
