#include "tests/support/MariaDb.h"

#include <QProcess>

QString restartTestMariaDb() {
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral(STAVIO_SOURCE_DIR "/scripts/mariadb.sh"),
                 {QStringLiteral("restart"), testMariaDbFolder()});
    if (!script.waitForFinished(60000)) {
        script.kill();
        script.waitForFinished();
        return QStringLiteral("scripts/mariadb.sh restart did not finish");
    }
    if (script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0)
        return QStringLiteral("scripts/mariadb.sh restart failed: ") + QString::fromUtf8(script.readAll());
    return QString();
}
