#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QStringList>

#include "common/DiagnosticLogFile.h"
#include "common/ErrorTrap.h"
#include "common/ServiceState.h"
#include "platform/db/connection.h"
#include "platform/registry.h"

void StavioTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    platform::db::dropThreadConnections();
    qputenv("STAVIO_REGISTRY", path(QStringLiteral("registry.db")).toUtf8());
    platform::setEventLog(&events);
    ErrorTrap::setSink(nullptr);
    DiagnosticLogFile::Reset();
    serviceState() = ServiceState();
    serviceState().setComponentFolder(folder());
}

void StavioTest::TearDown() {
    platform::db::dropThreadConnections();
    DiagnosticLogFile::CloseLogFile();
    platform::setEventLog(nullptr);
    qunsetenv("STAVIO_REGISTRY");
}

QString StavioTest::binary(const QString& name) {
    // Programs and test programs are built into one folder.
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

QStringList StavioTest::eventTexts() const {
    QStringList texts;
    for (const auto& e : events.entries) texts << e.text;
    return texts;
}

QString readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

void writeServerVersion(quint32 versionNumber, quint32 buildNumber) {
    auto& store = platform::machineRegistry();
    store.createKey(QStringLiteral("Software\\Brightkeel"));
    store.setValue(QStringLiteral("Software\\Brightkeel"), QStringLiteral("Version Number"),
                   platform::RegValue::fromDword(versionNumber));
    store.setValue(QStringLiteral("Software\\Brightkeel"), QStringLiteral("Build Number"),
                   platform::RegValue::fromDword(buildNumber));
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (condition()) return true;
        QThread::msleep(10);
    }
    return condition();
}
