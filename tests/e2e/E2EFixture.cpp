#include "tests/e2e/E2EFixture.h"

#include <csignal>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/registry.h"
#include "platform/scm/servicestatus.h"
#include "tests/support/Programs.h"

void EmbeddedSystemTest::SetUp() {
    StavioTest::SetUp();
    if (programs.isEmpty()) programs = QCoreApplication::applicationDirPath();
    env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("STAVIO_REGISTRY"), path(QStringLiteral("registry.db")));
    env.insert(QStringLiteral("STAVIO_BIN"), programs);
    env.insert(QStringLiteral("STAVIO_EVENTLOG_FILE"), path(QStringLiteral("events.jsonl")));
    env.insert(QStringLiteral("VESSELRUN_STATE_DIR"), path(QStringLiteral("run")));
    env.insert(QStringLiteral("VESSELRUN_UNIT_DIR"), path(QStringLiteral("units")));
    env.insert(QStringLiteral("NOTIFY_SOCKET"), path(QStringLiteral("notify")));
    systemd = std::make_unique<NotifyListener>(path(QStringLiteral("notify")));
    QString out;
    ASSERT_EQ(run(QStringLiteral(STAVIO_SOURCE_DIR "/scripts/embedded-env.sh"), {folder()}, &out), 0) << out.toStdString();
}

void EmbeddedSystemTest::TearDown() {
    if (service.state() != QProcess::NotRunning) {
        service.kill();
        service.waitForFinished();
    }
    StavioTest::TearDown();
}

int EmbeddedSystemTest::run(const QString& program, const QStringList& args, QString* out) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program.startsWith(QLatin1Char('/')) ? program : programs + QLatin1Char('/') + program, args);
    if (!p.waitForFinished(60000)) return -1;
    if (out) *out = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void EmbeddedSystemTest::startService() {
    service.setProcessEnvironment(env);
    service.start(programs + QStringLiteral("/Vesselrun"), {QStringLiteral("progid=OrvantaVoxarenStavio.Stavio")});
    ASSERT_TRUE(service.waitForStarted());
}

bool EmbeddedSystemTest::waitForState(int state) {
    const QString file = path(QStringLiteral("run/OrvantaVoxarenStavio.Stavio.state"));
    return waitServing([&] {
        const auto s = platform::scm::readStatusFile(file);
        return s && s->state == state;
    });
}

bool EmbeddedSystemTest::waitServing(const std::function<bool()>& condition, int timeoutMs) {
    return waitUntil([&] {
        systemd->messages();
        return condition();
    }, timeoutMs);
}

bool EmbeddedSystemTest::waitForExit(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!service.waitForFinished(5)) {
        systemd->messages();
        if (timer.elapsed() >= timeoutMs) return false;
    }
    return true;
}

bool EmbeddedSystemTest::signalService(int signalNumber) { return signalProcess(service, signalNumber); }

QString EmbeddedSystemTest::currentLogFile() {
    const auto v = platform::machineRegistry().value(QStringLiteral("Software\\Brightkeel\\Stavio"), QStringLiteral("CurrentLogFile"));
    return v ? v->text : QString();
}

namespace {
QList<QJsonObject> entries(const QString& file, const QString& source) {
    QList<QJsonObject> result;
    for (const QString& line : readFile(file).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o.value(QStringLiteral("source")).toString() == source) result << o;
    }
    return result;
}
}  // namespace

QStringList EmbeddedSystemTest::eventLogTexts(const QString& source) {
    QStringList texts;
    for (const QJsonObject& o : entries(path(QStringLiteral("events.jsonl")), source)) texts << o.value(QStringLiteral("text")).toString();
    return texts;
}

QStringList EmbeddedSystemTest::eventLogIds(const QString& source) {
    QStringList ids;
    for (const QJsonObject& o : entries(path(QStringLiteral("events.jsonl")), source))
        ids << QString::number(o.value(QStringLiteral("id")).toInt());
    return ids;
}
