// A guest checked in at the PMS finds the welcome voice message in its new
// mailbox: the real service with its timers sped up, both stand-ins, and the
// PMS gateway's command line.
#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>

#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/ServerDatabase.h"
#include "platform/scm/servicestatus.h"
#include "tests/e2e/E2EFixture.h"

namespace {

constexpr char kWavBytes[] = "RIFF\x2c\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00";
const QByteArray kWav(kWavBytes, sizeof(kWavBytes) - 1);

class WelcomeEndToEnd : public EmbeddedSystemTest {
protected:
    QString scalar(voxaren::ServerDatabase& server, const QString& sql, const QString& bound) {
        QSqlQuery q(server.db());
        q.prepare(sql);
        q.addBindValue(bound);
        return q.exec() && q.next() ? q.value(0).toString() : QString();
    }
    // The diagnostic log's lines that end a synchronisation sweep, so far.
    int finishedSweeps() { return readFile(currentLogFile()).count(QStringLiteral(",1012,SYNC_FINISHED,")); }
};

TEST_F(WelcomeEndToEnd, ACheckedInGuestReceivesBothMessagesAtTheNextWelcomeTickAndItsLampGoesOn) {
    QFile wav(path(QStringLiteral("welcome.wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(kWav);
    wav.close();
    const QString key = QStringLiteral("Software\\Brightkeel\\Stavio");
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"set", key, "Send Welcome Message", "dword", "1"}), 0);
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"set", key, "Welcome Message WAV File Path", "sz", wav.fileName()}), 0);
    // The synchronisation tick every 3 s, the welcome tick every 2.75 s.
    env.insert(QStringLiteral("STAVIO_TIMER_SCALE"), QStringLiteral("0.05"));
    startService();
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING)) << service.readAll().toStdString();

    QString out;
    ASSERT_EQ(run(QStringLiteral("ptce-sim"), {"--server", path(QStringLiteral("ptceDB.sqlite")), "checkin", "105",
                                               "--first", "Ann", "--last", "Lee"},
                  &out),
              0)
        << out.toStdString();

    voxaren::ServerDatabase server(path(QStringLiteral("voxaren/VoxarenDb.sqlite")));
    QString guest;
    ASSERT_TRUE(waitUntil(
        [&] {
            guest = scalar(server, QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID=?"),
                           QStringLiteral("105"));
            return !guest.isEmpty();
        },
        15000))
        << "no guest made for room 105";
    std::vector<voxaren::StoredMessage> messages;
    ASSERT_TRUE(waitUntil(
        [&] {
            messages = voxaren::messagesFor(server.db(), guest);
            return messages.size() >= 2;
        },
        30000))
        << readFile(currentLogFile()).toStdString();

    // The sweep that made the guest re-arms every timer when it ends: the
    // welcome tick (2.75 s) comes before the next synchronisation tick (3 s),
    // whose sweep would re-arm them all again. So the welcome line follows the
    // end of the guest's sweep before any other sweep starts.
    const QStringList log = readFile(currentLogFile()).split(QStringLiteral("\r\n"));
    const auto first = [&](const QString& text, qsizetype from) {
        for (qsizetype i = from; i < log.size(); ++i)
            if (log[i].contains(text)) return i;
        return qsizetype(-1);
    };
    const qsizetype created = first(QStringLiteral("New mailbox created for "), 0);
    ASSERT_GE(created, 0);
    const qsizetype sweepEnd = first(QStringLiteral(",1012,SYNC_FINISHED,"), created);
    const qsizetype welcome = first(QStringLiteral("Adding welcome message for new guest."), created);
    ASSERT_GT(sweepEnd, created);
    ASSERT_GT(welcome, sweepEnd);
    const qsizetype nextSweep = first(QStringLiteral(",1011,SYNC_START,"), sweepEnd);
    EXPECT_TRUE(nextSweep == -1 || nextSweep > welcome) << log.mid(sweepEnd, welcome - sweepEnd + 1).join('\n').toStdString();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].subject, QStringLiteral("Hotel Guest Welcome Message"));
    EXPECT_TRUE(messages[0].attachmentName.isEmpty());
    EXPECT_EQ(messages[1].subject, QStringLiteral("Hotel Guest Welcome Message"));
    EXPECT_EQ(messages[1].messageClass, QStringLiteral("IPM.Note.Voice.Voxaren"));
    EXPECT_EQ(messages[1].attachmentName, QStringLiteral("VoiceMessage.wav"));
    EXPECT_EQ(messages[1].attachmentContents, kWav);
    const QString alias = scalar(server, QStringLiteral("SELECT Alias FROM vw_Subscriber WHERE SubscriberObjectID=?"), guest);
    EXPECT_EQ(messages[1].recipientName, alias);
    EXPECT_EQ(messages[1].properties.size(), 7u);
    EXPECT_EQ(scalar(server, QStringLiteral("SELECT MWIOn FROM NotificationMWI WHERE ParentObjectID=? AND Alias='MWI-1'"),
                     guest),
              QStringLiteral("1"));
    EXPECT_TRUE(readFile(currentLogFile())
                    .contains(QStringLiteral(",1007,CHECK_IN_DEBUG,105,,Adding welcome message for new guest.  Alias=") +
                              alias + QStringLiteral("\r\n")));
    EXPECT_TRUE(eventLogTexts().filter(QStringLiteral("(error)")).isEmpty()) << eventLogTexts().join('\n').toStdString();
}

}  // namespace
