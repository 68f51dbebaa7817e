#include "tests/harness/HarnessFixture.h"

#include <QDir>
#include <QSqlQuery>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "sim/voxaren/ServerAccess.h"

void HarnessTest::SetUp() {
    EmbeddedSystemTest::SetUp();
    if (HasFatalFailure()) return;
    keepFolderOnFailure();
    env.insert(QStringLiteral("STAVIO_TIMER_SCALE"), QStringLiteral("0.05"));
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"set", "Software\\Brightkeel\\Stavio", "Debug Mode", "dword", "0"}), 0);
    // New guests are hotel guests from their first moment, as with the guest
    // template the administration makes: an interrupted check-in leaves a guest.
    voxaren::installServerAccess(environment());
    QSqlQuery mark(platform::db::database(voxaren::kLocalConnection));
    ASSERT_TRUE(mark.exec(QStringLiteral("UPDATE SubscriberTemplate SET ConversationName='ConvHotel' WHERE Alias='DefaultTemplate'")));
    m_pms = path(QStringLiteral("ptceDB.sqlite"));
}

void HarnessTest::TearDown() {
    if (service.state() != QProcess::NotRunning) {
        signalService(SIGTERM);
        service.waitForFinished(10000);
    }
    EmbeddedSystemTest::TearDown();
}

void HarnessTest::usePmsServer(const QString& server) {
    m_pms = server;
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"set", "Software\\Brightkeel\\Stavio", "Precipia Server Name", "sz", server}), 0);
}

int HarnessTest::ptce(const QStringList& args, QString* out) {
    return run(QStringLiteral("ptce-sim"), QStringList{QStringLiteral("--server"), m_pms} + args, out);
}

void HarnessTest::traffic(int rooms, int events, quint32 seed) {
    QString out;
    ASSERT_EQ(ptce({"bulk", "--rooms", QString::number(rooms), "--events", QString::number(events), "--seed",
                    QString::number(seed)},
                   &out),
              0)
        << out.toStdString();
    m_events += events;
}

QStringList HarnessTest::pendingRooms() {
    QStringList rooms;
    try {
        platform::db::Recordset rs;
        // A vacant room flagged without a guest keeps its flag: the sweep has
        // nothing to check out there (a check-out whose flag was not cleared
        // before the service was stopped leaves one).
        rs.Open(QStringLiteral("SELECT roomno FROM vmstable WHERE upd_by_ptce>0 AND (OccStatus='1' OR otherroomno>'0')"),
                PMSConnectionString(m_pms),
                platform::db::adOpenStatic, platform::db::adLockReadOnly);
        for (; !rs.IsEOF(); rs.MoveNext()) rooms << rs.Text(QStringLiteral("roomno"));
    } catch (const platform::Error& e) {
        rooms << QStringLiteral("(unreadable: %1)").arg(e.description());
    }
    return rooms;
}

QString HarnessTest::allLogs() {
    QString text;
    const QDir logs(path(QStringLiteral("logs")));
    for (const QString& name : logs.entryList({QStringLiteral("*.TXT")}, QDir::Files, QDir::Name))
        text += readFile(logs.filePath(name));
    return text;
}

int HarnessTest::countInLog(const QString& text) { return int(allLogs().count(text)); }

bool HarnessTest::waitUntilQuiet(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (!pendingRooms().isEmpty()) {
            pauseServing(500);
            continue;
        }
        // Nothing flagged: one whole sweep more, then a lamp sweep.
        const int sweeps = countInLog(QStringLiteral(",SYNC_FINISHED,"));
        const int lamps = countInLog(QStringLiteral(",MWI_SYNC_FINISHED,"));
        const int left = int(timeoutMs - timer.elapsed());
        if (!waitServing([&] { return countInLog(QStringLiteral(",SYNC_FINISHED,")) >= sweeps + 2; }, left)) return false;
        if (!waitServing([&] { return countInLog(QStringLiteral(",MWI_SYNC_FINISHED,")) >= lamps + 1; },
                       int(timeoutMs - timer.elapsed())))
            return false;
        if (pendingRooms().isEmpty()) return true;
    }
    return false;
}

int HarnessTest::audit(QString* report) { return run(QStringLiteral("stavio-audit"), {}, report); }
