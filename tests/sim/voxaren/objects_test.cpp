#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>

#include "common/VoiceServerObjects.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/ServerObjects.h"
#include "sim/voxaren/Subscribers.h"
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

TEST_F(ServerObjectsTest, AMessageKeepsItsRecipientNameFileAndPropertiesInTheOrderSet) {
    const QString guest = createGuest(QStringLiteral("214"), QStringLiteral("ROOM1_214"));
    const QString smtp = value(QStringLiteral("SELECT SMTPAddress FROM vw_Subscriber WHERE SubscriberObjectID=?"), {guest}).toString();
    // An address stored with the padding of a fixed-width column still resolves.
    QSqlQuery padded(db());
    ASSERT_TRUE(padded.prepare(QStringLiteral("UPDATE Subscriber SET SMTPAddress=? WHERE SubscriberObjectID=?")));
    padded.addBindValue(smtp + QStringLiteral("   "));
    padded.addBindValue(guest);
    ASSERT_TRUE(padded.exec());
    std::unique_ptr<IMapiSession> session = locator->CreateMapiSession();
    ASSERT_TRUE(session->Logon(QStringLiteral("Voxaren System Profile")));
    MapiMessage* voice = session->AddOutboxMessage();
    ASSERT_TRUE(voice);
    MapiAttachment* file = session->AddAttachment(*voice);
    ASSERT_TRUE(file);
    file->Name = QStringLiteral("VoiceMessage.wav");
    file->Contents = QByteArray("RIFF\0\x01WAVE", 10);
    file->Fields.push_back({0x3703001E, QStringLiteral(".wav")});
    voice->Fields.push_back({0x72090003, 2});
    voice->Fields.push_back({0x7C08000B, true});
    voice->Fields.push_back({0x7D00001E, QStringLiteral("VoiceMessage.wav")});
    voice->Type = QStringLiteral("IPM.Note.Voice.Voxaren");
    voice->Recipients.push_back({QStringLiteral("Ann Lee"), 1, QStringLiteral("SMTP:") + smtp});
    session->Send(*voice, false);

    QSqlDatabase server = db();
    const std::vector<voxaren::StoredMessage> stored = voxaren::messagesFor(server, guest);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].recipientName, QStringLiteral("Ann Lee"));
    EXPECT_EQ(stored[0].attachmentContents, QByteArray("RIFF\0\x01WAVE", 10));
    QStringList properties;
    for (const voxaren::MessageProperty& p : stored[0].properties)
        properties << QStringLiteral("%1 %2=%3").arg(p.ofAttachment ? "file" : "message").arg(p.tag, 8, 16, QLatin1Char('0')).arg(p.value.toString());
    EXPECT_EQ(properties, QStringList({"message 72090003=2", "message 7c08000b=1", "message 7d00001e=VoiceMessage.wav",
                                       "file 3703001e=.wav"}));

    // Deleting the subscriber takes its messages' properties along.
    voxaren::deleteSubscriber(server, guest, true);
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM MessageProperty")).toInt(), 0);
}

TEST_F(ServerObjectsTest, SessionsRefuseUnknownProfilesAndRecipients) {
    std::unique_ptr<IMapiSession> session = locator->CreateMapiSession();
    EXPECT_FALSE(session->Logon(QStringLiteral("Someone Else")));
    EXPECT_EQ(session->AddOutboxMessage(), nullptr);
    MapiMessage unsent;
    EXPECT_EQ(session->AddAttachment(unsent), nullptr);
    EXPECT_TRUE(unsent.Attachments.empty());
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
