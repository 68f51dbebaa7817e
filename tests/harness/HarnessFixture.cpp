#include "tests/harness/HarnessFixture.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/ServerAccess.h"

void HarnessTest::SetUp() {
    EmbeddedSystemTest::SetUp();
    if (HasFatalFailure()) return;
    keepFolderOnFailure();
    env.insert(QStringLiteral("STAVIO_TIMER_SCALE"), QStringLiteral("0.05"));
    // The debug lines mark every step of a guest action: a kill can aim between two.
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"set", "Software\\Brightkeel\\Stavio", "Debug Mode", "dword", "1"}), 0);
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
        rs.Open(QStringLiteral("SELECT roomno FROM vmstable WHERE upd_by_ptce>0"),
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

bool HarnessTest::waitForLogLine(const QStringList& texts, int timeoutMs) {
    const QDir logs(path(QStringLiteral("logs")));
    const auto files = [&] { return logs.entryInfoList({QStringLiteral("*.TXT")}, QDir::Files, QDir::Name); };
    for (const QFileInfo& file : files()) m_logRead[file.fileName()] = file.size();
    return waitServing([&] {
        for (const QFileInfo& file : files()) {
            qint64& read = m_logRead[file.fileName()];
            if (file.size() <= read) continue;
            QFile log(file.filePath());
            if (!log.open(QIODevice::ReadOnly) || !log.seek(read)) continue;
            const QString added = QString::fromUtf8(log.readAll());
            // Only whole lines: a line half written is read again next time.
            const qsizetype end = added.lastIndexOf(QLatin1Char('\n')) + 1;
            read += added.left(end).toUtf8().size();
            for (const QString& text : texts)
                if (added.left(end).contains(text)) return true;
        }
        return false;
    }, timeoutMs);
}

QList<QPair<QString, QString>> HarnessTest::occupiedRooms() {
    QList<QPair<QString, QString>> rooms;
    platform::db::Recordset rs;
    rs.Open(QStringLiteral("SELECT Extension1, Password FROM vmstable WHERE OccStatus='1' ORDER BY Extension1"),
            PMSConnectionString(m_pms), platform::db::adOpenStatic, platform::db::adLockReadOnly);
    for (; !rs.IsEOF(); rs.MoveNext())
        rooms << qMakePair(rs.Text(QStringLiteral("Extension1")), rs.Text(QStringLiteral("Password")));
    return rooms;
}

namespace {
const QString kTokenPrefix = QStringLiteral("T");
const QString kForGuest = QStringLiteral("For guest ");

// The subjects of the harness's messages in the hotel guest's mailbox on the room.
QStringList tokenMessagesOn(const QString& extension) {
    QSqlQuery q(platform::db::database(voxaren::kLocalConnection));
    q.prepare(QStringLiteral("SELECT m.Subject FROM Message m JOIN vw_Subscriber s ON m.RecipientObjectID = "
                             "s.SubscriberObjectID WHERE s.DTMFAccessID = ? AND s.ConversationName = 'ConvHotel' "
                             "AND m.Subject LIKE 'For guest %' ORDER BY m.Subject"));
    q.addBindValue(extension);
    QStringList subjects;
    if (q.exec())
        while (q.next()) subjects << q.value(0).toString();
    return subjects;
}
}  // namespace

void HarnessTest::markGuests() {
    QSqlDatabase pms = platform::db::database(PMSConnectionString(m_pms));
    QSqlDatabase server = platform::db::database(voxaren::kLocalConnection);
    for (const auto& [extension, password] : occupiedRooms()) {
        if (password.startsWith(kTokenPrefix)) continue;
        const QString token = kTokenPrefix + QString::number(++m_tokens);
        QSqlQuery mark(pms);
        mark.prepare(QStringLiteral("UPDATE vmstable SET Password = ? WHERE Extension1 = ?"));
        mark.addBindValue(token);
        mark.addBindValue(extension);
        ASSERT_TRUE(mark.exec()) << mark.lastError().text().toStdString();
        QSqlQuery guest(server);
        guest.prepare(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID = ? AND "
                                     "ConversationName = 'ConvHotel'"));
        guest.addBindValue(extension);
        ASSERT_TRUE(guest.exec() && guest.next()) << "no mailbox on occupied room " << extension.toStdString();
        voxaren::NewMessage message;
        message.recipientObjectId = guest.value(0).toString();
        message.senderName = QStringLiteral("Harness");
        message.subject = kForGuest + token;
        voxaren::deliverMessage(server, message);
    }
}

QStringList HarnessTest::ownershipFaults() {
    QStringList faults;
    for (const auto& [extension, password] : occupiedRooms()) {
        const QStringList expected =
            password.startsWith(kTokenPrefix) ? QStringList{kForGuest + password} : QStringList{};
        const QStringList held = tokenMessagesOn(extension);
        if (held != expected)
            faults << QStringLiteral("room %1 (guest %2) holds [%3]")
                          .arg(extension, password, held.join(QStringLiteral(", ")));
    }
    return faults;
}

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
