#include "sim/voxaren/ServerObjects.h"

#include <QSqlDatabase>

#include "platform/error.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/Sql.h"

namespace voxaren {

namespace {

// Numbers a messaging system gives for its failures.
constexpr int kNotLoggedOn = int(0x80040111);   // "the session is not logged on"
constexpr int kUnresolvedRecipient = int(0x8004010F);  // "not found"

QSqlDatabase localServer() { return platform::db::database(kLocalConnection); }

class Notifier : public INotifier {
public:
    void SetSubscriberMWI(const QString& subscriberObjectId, bool on) override {
        QSqlDatabase db = localServer();
        sql::change(db, QStringLiteral("UPDATE NotificationMWI SET MWIOn = ? WHERE ParentObjectID = ?"),
               {on ? 1 : 0, subscriberObjectId});
    }
    void ResyncSubscriberMWI(const QString& subscriberObjectId) override {
        QSqlDatabase db = localServer();
        resyncLamps(db, subscriberObjectId);
    }
    // The lamp rows are the lamps here: there is nothing further to push.
    void RefreshSubscriberMWI(const QString&, bool) override {}
};

class MapiSession : public IMapiSession {
public:
    bool Logon(const QString& profileName) override {
        m_loggedOn = profileName.compare(kSystemProfile, Qt::CaseInsensitive) == 0;
        return m_loggedOn;
    }

    MapiMessage* AddOutboxMessage() override {
        if (!m_loggedOn) return nullptr;
        m_outbox.push_back(std::make_unique<MapiMessage>());
        return m_outbox.back().get();
    }

    MapiAttachment* AddAttachment(MapiMessage& message) override {
        if (!m_loggedOn) return nullptr;
        message.Attachments.emplace_back();
        return &message.Attachments.back();
    }

    // The outbox holds the message as it is; saving only checks the session.
    void Update(MapiMessage&) override { requireLogon(); }

    void Send(MapiMessage& message, bool) override {
        requireLogon();
        QSqlDatabase db = localServer();
        for (const MapiRecipient& to : message.Recipients) {
            const QString address = to.Address.trimmed().section(QLatin1Char(':'), 1).trimmed();
            const QString recipient =
                sql::scalar(db, QStringLiteral("SELECT SubscriberObjectID FROM Subscriber WHERE trim(SMTPAddress) = ?"), {address})
                    .toString();
            if (recipient.isEmpty())
                throw platform::Error(kUnresolvedRecipient, QStringLiteral("The recipient %1 is not known").arg(to.Address));
            NewMessage delivery;
            delivery.recipientObjectId = recipient;
            delivery.recipientName = to.Name;
            delivery.senderName = kSystemProfile;
            delivery.subject = message.Subject;
            delivery.messageClass = message.Type.isEmpty() ? QStringLiteral("IPM.Note") : message.Type;
            for (const MapiField& field : message.Fields) delivery.properties.push_back({false, field.tag, field.value});
            // The store keeps one file per message: the first.
            if (!message.Attachments.empty()) {
                const MapiAttachment& file = message.Attachments.front();
                delivery.attachmentName = file.Name;
                delivery.attachmentContents = file.Contents;
                for (const MapiField& field : file.Fields) delivery.properties.push_back({true, field.tag, field.value});
            }
            deliverMessage(db, delivery);
        }
    }

    void Logoff() override {
        m_loggedOn = false;
        m_outbox.clear();
    }

private:
    void requireLogon() const {
        if (!m_loggedOn) throw platform::Error(kNotLoggedOn, QStringLiteral("The session is not logged on"));
    }

    bool m_loggedOn = false;
    std::vector<std::unique_ptr<MapiMessage>> m_outbox;
};

class Locator : public IServerObjects {
public:
    std::shared_ptr<INotifier> GetNotifier() override { return std::make_shared<Notifier>(); }
    std::unique_ptr<IMapiSession> CreateMapiSession() override { return std::make_unique<MapiSession>(); }
};

}  // namespace

std::shared_ptr<IServerObjects> serverObjects() { return std::make_shared<Locator>(); }

}  // namespace voxaren
