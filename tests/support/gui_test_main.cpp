// GUI test programs run with a widget application on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSaveFile>

int main(int argc, char** argv) {
    // Whatever accounts this machine has, the tests' service runs as the user
    // running them: a test that wants a service account names one.
    qputenv("STAVIO_SERVICE_ACCOUNT", "stavio-tests-name-no-account");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/stavio-gui-tests");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    // The offscreen screen of an administrator's desktop, 1920 by 1080 at
    // 96 dpi, rather than the platform's default 800 by 600.
    const QString offscreen = QStringLiteral("offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariable("QT_QPA_PLATFORM") == offscreen) {
        const QString config = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/stavio-offscreen-screen.json");
        // Written whole and then renamed: test programs running side by side
        // never read a file another is writing.
        QSaveFile file(config);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
                       R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            file.commit();
        }
        qputenv("QT_QPA_PLATFORM", (offscreen + QStringLiteral(":configfile=") + config).toUtf8());
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VoxarenStavioAdmin"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
