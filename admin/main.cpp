// VoxarenStavioAdmin: the administration program of the Stavio service.
#include <QApplication>

#include "admin/AdminApplication.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VoxarenStavioAdmin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Orvanta Voxaren Stavio"));
    AdminApplication admin(app.arguments());
    if (!admin.start()) return 0;
    return QApplication::exec();
}
