#include "tests/support/TestEnvironment.h"

#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QThread>

#include "platform/env.h"
#include "platform/registry.h"

std::unique_ptr<SystemEnv> StavioTest::makeEnv() { return std::make_unique<SystemEnv>(); }

void StavioTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_env = makeEnv();
    m_env->setRegistryPath(path(QStringLiteral("registry.db")));
    m_env->setEventLog(eventLog);
    m_env->setComponentFolder(folder());
    m_env->diagnosticLog = &serviceState.log;
    if (fakeClockStart) useFakeClock(*fakeClockStart);
    m_installed.emplace(*m_env);
}

void StavioTest::TearDown() {
    serviceState.log.CloseLogFile();
    m_installed.reset();
    m_env.reset();
    if (m_keepOnFailure && HasFailure()) {
        m_dir.setAutoRemove(false);
        std::printf("test folder kept: %s\n", qPrintable(m_dir.path()));
    }
}

FakeClock& StavioTest::useFakeClock(const QDateTime& start) {
    auto fake = std::make_shared<FakeClock>(start);
    m_env->setClock(fake);
    clock = fake.get();
    return *fake;
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
