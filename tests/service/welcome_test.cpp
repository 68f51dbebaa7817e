// Welcome messages: every queued new guest is looked up and sent a plain
// message and then a voice message carrying the welcome WAV file.
#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>

#include "service/Sweeps.h"
#include "service/WelcomeMessage.h"
#include "sim/voxaren/Subscribers.h"
#include "tests/support/GuestFixture.h"

using namespace modPMSFunctions;

namespace {

constexpr char kWavBytes[] = "RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00";
const QByteArray kWav(kWavBytes, sizeof(kWavBytes) - 1);
const QString kSubject = QStringLiteral("Hotel Guest Welcome Message");
const QString kHint = QStringLiteral(
    "Be sure the Stavio service is assigned to the Message facing account and that the Voxaren system is functioning "
    "properly.");
const QString kNoProfile =
    QStringLiteral("(error): InsertWelcomeMessage could not open the Voxaren System Profile message profile.  ") + kHint;

// The server's messaging objects with each session call written down, every
// message copied as it was sent, and refusals on demand.
class ScriptedServerObjects : public IServerObjects {
public:
    explicit ScriptedServerObjects(std::shared_ptr<IServerObjects> real) : m_real(std::move(real)) {}
    std::shared_ptr<INotifier> GetNotifier() override { return m_real->GetNotifier(); }
    std::unique_ptr<IMapiSession> CreateMapiSession() override {
        ++sessions;
        return std::make_unique<Session>(*this, m_real->CreateMapiSession());
    }

    int sessions = 0;
    bool refuseLogon = false, refuseMessage = false, refuseAttachment = false, failSend = false;
    QStringList calls;
    std::vector<MapiMessage> sent;

private:
    class Session : public IMapiSession {
    public:
        Session(ScriptedServerObjects& owner, std::unique_ptr<IMapiSession> real) : o(owner), r(std::move(real)) {}
        bool Logon(const QString& profile) override {
            o.calls << QStringLiteral("Logon ") + profile;
            return !o.refuseLogon && r->Logon(profile);
        }
        MapiMessage* AddOutboxMessage() override {
            o.calls << QStringLiteral("Add");
            return o.refuseMessage ? nullptr : r->AddOutboxMessage();
        }
        MapiAttachment* AddAttachment(MapiMessage& message) override {
            o.calls << QStringLiteral("Attach");
            return o.refuseAttachment ? nullptr : r->AddAttachment(message);
        }
        void Update(MapiMessage& message) override {
            o.calls << QStringLiteral("Update");
            r->Update(message);
        }
        void Send(MapiMessage& message, bool showDialog) override {
            o.calls << QStringLiteral("Send %1").arg(showDialog);
            if (o.failSend)
                throw platform::Error(int(0x80040115), QStringLiteral("The messaging server cannot be reached"));
            o.sent.push_back(message);
            r->Send(message, showDialog);
        }
        void Logoff() override {
            o.calls << QStringLiteral("Logoff");
            r->Logoff();
        }

    private:
        ScriptedServerObjects& o;
        std::unique_ptr<IMapiSession> r;
    };

    std::shared_ptr<IServerObjects> m_real;
};

class WelcomeMessageTest : public GuestFixture {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        objects = std::make_shared<ScriptedServerObjects>(environment().serverObjects);
        environment().serverObjects = objects;
        QFile wav(path(QStringLiteral("welcome.wav")));
        ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
        wav.write(kWav);
        serviceState.settings.SendWelcomeMessage = true;
        serviceState.settings.WelcomeMessageWavFilePath = path(QStringLiteral("welcome.wav"));
    }
    QString guest(const QString& room) {
        const QString id = createGuest(room, QStringLiteral("ROOM9_") + room);
        memory.colNewGuests.add(id, id);
        return id;
    }
    QStringList queued() const { return memory.colNewGuests.keys(); }
    // "subject|class|to|attachment|properties" of each message the guest has.
    QStringList messages(const QString& id) {
        QSqlDatabase server = db();
        QStringList result;
        for (const voxaren::StoredMessage& m : voxaren::messagesFor(server, id)) {
            QStringList properties;
            for (const voxaren::MessageProperty& p : m.properties)
                properties << QStringLiteral("%1%2=%3")
                                  .arg(p.ofAttachment ? QStringLiteral("file:") : QString())
                                  .arg(p.tag, 8, 16, QLatin1Char('0'))
                                  .arg(p.value.toString());
            result << QStringList{m.subject, m.messageClass, m.recipientName, m.attachmentName, properties.join(' ')}.join('|');
        }
        return result;
    }
    void setSmtp(const QString& id, const QVariant& address) {
        QSqlQuery q(db());
        ASSERT_TRUE(q.prepare(QStringLiteral("UPDATE Subscriber SET SMTPAddress=? WHERE SubscriberObjectID=?")));
        q.addBindValue(address);
        q.addBindValue(id);
        ASSERT_TRUE(q.exec());
    }
    QString smtpOf(const QString& id) {
        return value(QStringLiteral("SELECT SMTPAddress FROM vw_Subscriber WHERE SubscriberObjectID=?"), {id}).toString();
    }
    QStringList welcomed(const QString& alias) {
        return {kSubject + "|IPM.Note|" + alias + "||",
                kSubject + "|IPM.Note.Voice.Voxaren|" + alias +
                    "|VoiceMessage.wav|7d00001e=VoiceMessage.wav 72090003=2 7c08000b=1 72020003=1 "
                    "file:3707001e=VoiceMessage.wav file:3703001e=.wav file:3001001e=VoiceMessage"};
    }

    std::shared_ptr<ScriptedServerObjects> objects;
};

TEST_F(WelcomeMessageTest, AnEmptyQueueTouchesNeitherTheServerNorItsMessaging) {
    serviceState.voiceServerConnection = QStringLiteral(
        "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
        "Initial Catalog=VoxarenDb;Data Source=frontoffice");
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join('\n').toStdString();
    EXPECT_EQ(objects->sessions, 0);

    // A guest whose look-up fails stays queued for the next tick.
    memory.colNewGuests.add(QStringLiteral("{6F1D2C1B-0000-4000-8000-000000000001}"),
                            QStringLiteral("{6F1D2C1B-0000-4000-8000-000000000001}"));
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    ASSERT_EQ(eventTexts().size(), 1);
    EXPECT_TRUE(eventTexts()[0].endsWith(QStringLiteral(") in procedure SendWelcomeMessageToNewGuests of Module "
                                                        "modPMSFunctions")))
        << eventTexts()[0].toStdString();
    EXPECT_EQ(queued().size(), 1);
}

TEST_F(WelcomeMessageTest, EachQueuedGuestGetsBothMessagesOnceInQueueOrder) {
    const QString c = guest(QStringLiteral("103"));
    const QString a = guest(QStringLiteral("101"));
    const QString b = guest(QStringLiteral("102"));
    setSmtp(b, QStringLiteral("  ROOM9_102@voxaren.local "));
    const qint64 before = clock->sleptMs();

    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);

    EXPECT_TRUE(queued().isEmpty());
    EXPECT_EQ(messages(c), welcomed(QStringLiteral("ROOM9_103")));
    EXPECT_EQ(messages(a), welcomed(QStringLiteral("ROOM9_101")));
    EXPECT_EQ(messages(b), welcomed(QStringLiteral("ROOM9_102")));
    EXPECT_EQ(lamps(c), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM9_103|0|1")});  // the voice message lights it
    EXPECT_EQ(clock->sleptMs() - before, 3 * 1000);  // one wait between each guest's two messages
    EXPECT_EQ(logLines(), QStringList({"1007,CHECK_IN_DEBUG,103,,Adding welcome message for new guest.  Alias=ROOM9_103",
                                       "1007,CHECK_IN_DEBUG,101,,Adding welcome message for new guest.  Alias=ROOM9_101",
                                       "1007,CHECK_IN_DEBUG,102,,Adding welcome message for new guest.  Alias=ROOM9_102"}));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join('\n').toStdString();

    // As sent: the address with its blanks trimmed, the sound file at position 0 as file data.
    ASSERT_EQ(objects->sent.size(), 6u);
    EXPECT_EQ(objects->sent[4].Recipients.size(), 1u);
    EXPECT_EQ(objects->sent[4].Recipients[0].Address, QStringLiteral("SMTP:ROOM9_102@voxaren.local"));
    EXPECT_EQ(objects->sent[4].Recipients[0].Type, 1);
    EXPECT_TRUE(objects->sent[4].Attachments.empty());
    ASSERT_EQ(objects->sent[5].Attachments.size(), 1u);
    EXPECT_EQ(objects->sent[5].Attachments[0].Type, 1);
    EXPECT_EQ(objects->sent[5].Attachments[0].Position, 0);
    EXPECT_EQ(objects->sent[5].Attachments[0].Contents, kWav);
    EXPECT_EQ(objects->calls.mid(0, 13),
              QStringList({"Logon Voxaren System Profile", "Add", "Update", "Send 0", "Logoff",
                           "Logon Voxaren System Profile", "Add", "Attach", "Update", "Update", "Send 0", "Logoff",
                           "Logon Voxaren System Profile"}));

    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);  // nothing is sent twice
    EXPECT_EQ(objects->sent.size(), 6u);
    EXPECT_EQ(messages(a).size(), 2);
}

TEST_F(WelcomeMessageTest, AGuestWithoutMailAddressWaitsAndAVanishedGuestIsDropped) {
    const QString waiting = guest(QStringLiteral("101"));
    const QString address = smtpOf(waiting);
    setSmtp(waiting, QVariant(QMetaType::fromType<QString>()));
    const QString vanished = guest(QStringLiteral("102"));
    QSqlDatabase server = db();
    voxaren::deleteSubscriber(server, vanished, true);
    const QString later = guest(QStringLiteral("103"));

    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    EXPECT_EQ(queued(), QStringList{waiting});
    EXPECT_TRUE(messages(waiting).isEmpty());
    EXPECT_EQ(messages(later), welcomed(QStringLiteral("ROOM9_103")));
    const QString notFound = QStringLiteral("(error): SendWelcomeMessageToNewguests function encountered error where "
                                            "SubscriberObjectID for new user would not be found in the vw_Subscriber "
                                            "view.  ObjectId=") +
                             vanished;
    EXPECT_EQ(eventTexts(), QStringList{notFound});
    EXPECT_TRUE(logLines().contains(QStringLiteral("4,ERROR,,,") + notFound));

    SendWelcomeMessageToNewGuests(
        serviceState,
        memory.colNewGuests);  // still no address: still waiting, nothing reported
    EXPECT_EQ(queued(), QStringList{waiting});
    EXPECT_EQ(eventTexts().size(), 1);

    setSmtp(waiting, address);
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_EQ(messages(waiting), welcomed(QStringLiteral("ROOM9_101")));
}

TEST_F(WelcomeMessageTest, AMissingWavFileIsReportedForEachGuestAndNothingIsSent) {
    serviceState.settings.WelcomeMessageWavFilePath = path(QStringLiteral("gone.wav"));
    const QString a = guest(QStringLiteral("101"));
    guest(QStringLiteral("102"));
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    const QString missing =
        QStringLiteral("(error): InsertWelcomeMessage could not fine the selected welcme WAV file message.  Path=") +
        path(QStringLiteral("gone.wav"));
    EXPECT_EQ(eventTexts(), QStringList({missing, missing}));
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_EQ(objects->sessions, 0);
    EXPECT_TRUE(messages(a).isEmpty());
}

TEST_F(WelcomeMessageTest, AnUnusableProfileOrMessagingObjectIsReportedOncePerGuest) {
    objects->refuseLogon = true;
    const QString a = guest(QStringLiteral("101"));
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    EXPECT_EQ(eventTexts(), QStringList{kNoProfile});
    EXPECT_EQ(objects->calls, QStringList{"Logon Voxaren System Profile"});
    EXPECT_TRUE(queued().isEmpty());

    // Without the server's messaging objects at all.
    environment().serverObjects = nullptr;
    guest(QStringLiteral("102"));
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    EXPECT_EQ(eventTexts(), QStringList({kNoProfile, kNoProfile}));
    EXPECT_TRUE(messages(a).isEmpty());
}

TEST_F(WelcomeMessageTest, ARefusedMessageOrAttachmentEndsThatGuestsWelcomeWithItsMessage) {
    objects->refuseMessage = true;
    const QString a = guest(QStringLiteral("101"));
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("(error): InsertWelcomeMessage could not create a new message for the "
                                                       "Voxaren System Profile. ") +
                                        kHint});
    EXPECT_TRUE(messages(a).isEmpty());

    objects->refuseMessage = false;
    objects->refuseAttachment = true;
    const QString b = guest(QStringLiteral("102"));
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    EXPECT_EQ(eventTexts().last(), QStringLiteral("(error): InsertWelcomeMessage could not add attachment to new message for "
                                                  "the Voxaren System Profile message profile.  ") +
                                       kHint);
    EXPECT_EQ(messages(b), welcomed(QStringLiteral("ROOM9_102")).mid(0, 1));  // the plain one went out
    EXPECT_TRUE(queued().isEmpty());
}

TEST_F(WelcomeMessageTest, AFailingSendIsReportedAndTheOtherStepsStillRun) {
    objects->failSend = true;
    const QString a = guest(QStringLiteral("101"));
    const qint64 before = clock->sleptMs();
    SendWelcomeMessageToNewGuests(serviceState, memory.colNewGuests);
    const QString unreachable = QStringLiteral("(error):-2147221227 (The messaging server cannot be reached) in procedure "
                                               "InsertWelcomeMessage of Module modPMSFunctions");
    EXPECT_EQ(eventTexts(), QStringList({unreachable, unreachable}));  // each message's send
    EXPECT_EQ(objects->calls.filter(QStringLiteral("Logoff")).size(), 2);
    EXPECT_EQ(clock->sleptMs() - before, 1000);
    EXPECT_TRUE(messages(a).isEmpty());
    EXPECT_TRUE(queued().isEmpty());
}

}  // namespace
