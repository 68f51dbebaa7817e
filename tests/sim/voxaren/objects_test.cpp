#include <gtest/gtest.h>

#include <QFile>

#include "common/VoiceServerObjects.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/ServerObjects.h"
#include "tests/support/ServerFixture.h"

namespace {

class ServerObjectsTest : public VoxarenTest {
protected:
    QStringList lamps(const QString& guest) {
        return rows(QStringLiteral("SELECT Alias, MWIOn FROM NotificationMWI WHERE ParentObjectID=? ORDER BY Alias"), {guest});
    }
    QStringList messages(const QString& guest) {
        return rows(QStringLiteral("SELECT Subject, MessageClass, Unread, AttachmentName FROM Message WHERE "
                                   "RecipientObjectID=? ORDER BY ReceivedTime, rowid"),
                    {guest});
    }
    std::shared_ptr<IServerObjects> locator = voxaren::serverObjects();
};

TEST_F(ServerObjectsTest, NotifierSetsAndResynchronisesLamps) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    std::shared_ptr<INotifier> notifier = locator->GetNotifier();
    ASSERT_TRUE(notifier);
    notifier->SetSubscriberMWI(guest, true);
    EXPECT_EQ(lamps(guest), QStringList{"MWI-1|1"});
    // Re-evaluation follows the mailbox: no unread voice message, lamp off.
    notifier->ResyncSubscriberMWI(guest);
    notifier->RefreshSubscriberMWI(guest, true);
    EXPECT_EQ(lamps(guest), QStringList{"MWI-1|0"});

    QSqlDatabase server = db();
    voxaren::NewMessage call;
    call.recipientObjectId = guest;
    call.senderName = QStringLiteral("caller");
    voxaren::deliverMessage(server, call);
    EXPECT_EQ(lamps(guest), QStringList{"MWI-1|1"});
    notifier->SetSubscriberMWI(guest, false);
    notifier->ResyncSubscriberMWI(guest);
    EXPECT_EQ(lamps(guest), QStringList{"MWI-1|1"});
}

TEST_F(ServerObjectsTest, ASentVoiceMessageArrivesUnreadAndLightsTheLamp) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    const QString smtp = value(QStringLiteral("SELECT SMTPAddress FROM vw_Subscriber WHERE SubscriberObjectID=?"), {guest}).toString();
    QFile wav(path(QStringLiteral("welcome.wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write("RIFF....WAVE");
    wav.close();

    std::unique_ptr<IMapiSession> session = locator->CreateMapiSession();
    ASSERT_TRUE(session->Logon(QStringLiteral("Voxaren System Profile")));
    MapiMessage* plain = session->AddOutboxMessage();
    ASSERT_TRUE(plain);
    plain->Subject = QStringLiteral("Hotel Guest Welcome Message");
    plain->Recipients.push_back({QStringLiteral("ROOM1_214"), 1, QStringLiteral("SMTP: ") + smtp + QLatin1Char(' ')});
    session->Update(*plain);
    session->Send(*plain, false);
    EXPECT_EQ(lamps(guest), QStringList{"MWI-1|0"});  // a plain note does not light the lamp

    MapiMessage* voice = session->AddOutboxMessage();
    voice->Subject = QStringLiteral("Hotel Guest Welcome Message");
    MapiAttachment attachment;
    attachment.Name = QStringLiteral("VoiceMessage.wav");
    ReadAttachmentFromFile(attachment, path(QStringLiteral("welcome.wav")));
    voice->Attachments.push_back(attachment);
    voice->Type = QStringLiteral("IPM.Note.Voice.Voxaren");
    voice->Recipients.push_back({QStringLiteral("ROOM1_214"), 1, QStringLiteral("SMTP:") + smtp});
    session->Send(*voice, false);
    session->Logoff();

    EXPECT_EQ(messages(guest), QStringList({"Hotel Guest Welcome Message|IPM.Note|1|NULL",
                                            "Hotel Guest Welcome Message|IPM.Note.Voice.Voxaren|1|VoiceMessage.wav"}));
    EXPECT_EQ(value(QStringLiteral("SELECT AttachmentContents FROM Message WHERE AttachmentName IS NOT NULL")).toByteArray(),
              QByteArray("RIFF....WAVE"));
    EXPECT_EQ(lamps(guest), QStringList{"MWI-1|1"});
}

TEST_F(ServerObjectsTest, SessionsRefuseUnknownProfilesAndRecipients) {
    std::unique_ptr<IMapiSession> session = locator->CreateMapiSession();
    EXPECT_FALSE(session->Logon(QStringLiteral("Someone Else")));
    EXPECT_EQ(session->AddOutboxMessage(), nullptr);
    ASSERT_TRUE(session->Logon(QStringLiteral("Voxaren System Profile")));
    MapiMessage* message = session->AddOutboxMessage();
    message->Recipients.push_back({QStringLiteral("nobody"), 1, QStringLiteral("SMTP:nobody@voxaren.local")});
    EXPECT_THROW(session->Send(*message, false), platform::Error);
    session->Logoff();  // the outbox goes with the session
    MapiMessage later;
    EXPECT_THROW(session->Update(later), platform::Error);
    MapiAttachment attachment;
    EXPECT_THROW(ReadAttachmentFromFile(attachment, path(QStringLiteral("missing.wav"))), platform::Error);
}

}  // namespace
