#pragma once
// The voice-messaging server's objects that the service and the
// administration use besides its database: the lamp notifier and a messaging
// session for posting messages. The server's installation provides them
// through an object locator held by the environment (SystemEnv); nothing
// here knows how.
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

// The server's "Notifier": drives the message-waiting lamps of a subscriber.
class INotifier {
public:
    virtual ~INotifier() = default;
    virtual void SetSubscriberMWI(const QString& subscriberObjectId, bool on) = 0;
    virtual void ResyncSubscriberMWI(const QString& subscriberObjectId) = 0;
    virtual void RefreshSubscriberMWI(const QString& subscriberObjectId, bool refresh) = 0;
};

// A property of a message or attachment: a property tag and its value.
struct MapiField {
    quint32 tag = 0;
    QVariant value;
};

struct MapiRecipient {
    QString Name;
    int Type = 1;  // 1 = "to"
    QString Address;  // "SMTP:" + address
};

struct MapiAttachment {
    int Type = 1;  // 1 = file data
    int Position = 0;
    QString Name;
    QByteArray Contents;
    std::vector<MapiField> Fields;
};

struct MapiMessage {
    QString Subject;
    QString Type;  // the message class, e.g. "IPM.Note.Voice.Voxaren"
    std::vector<MapiRecipient> Recipients;
    std::vector<MapiAttachment> Attachments;
    std::vector<MapiField> Fields;
};

// The server's "MAPI.Session": log on to a profile, post messages from its outbox.
class IMapiSession {
public:
    virtual ~IMapiSession() = default;
    // False for a profile the server does not know.
    virtual bool Logon(const QString& profileName) = 0;
    // A new message in the outbox; nullptr when not logged on.
    virtual MapiMessage* AddOutboxMessage() = 0;
    // A new attachment of a message of this session's outbox; nullptr when the
    // session cannot add one (not logged on).
    virtual MapiAttachment* AddAttachment(MapiMessage& message) = 0;
    // Saves the message as it now is; raises platform::Error on failure.
    virtual void Update(MapiMessage& message) = 0;
    // Delivers it to its recipients; raises platform::Error on failure.
    virtual void Send(MapiMessage& message, bool showDialog) = 0;
    virtual void Logoff() = 0;
};

// The object locator of the server's installation.
class IServerObjects {
public:
    virtual ~IServerObjects() = default;
    // The object named "Notifier", or nullptr when the server cannot give it.
    virtual std::shared_ptr<INotifier> GetNotifier() = 0;
    // A new "MAPI.Session" object, or nullptr.
    virtual std::unique_ptr<IMapiSession> CreateMapiSession() = 0;
};

// The installed environment's object locator (nullptr: none).
std::shared_ptr<IServerObjects> serverObjects();

// Reads a file into an attachment's contents (raises platform::Error 53 when missing).
void ReadAttachmentFromFile(MapiAttachment& attachment, const QString& path);
