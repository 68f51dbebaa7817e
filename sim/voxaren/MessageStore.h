#pragma once
// The server's message store and message-waiting lamps, as plain tables that
// the server's messaging and lamp objects work on.
//
// Message: one row per message delivered to one subscriber.
//   MessageObjectID     GUID key
//   RecipientObjectID   the subscriber (Subscriber.SubscriberObjectID)
//   SenderName          who left or sent it (text; NULL when unknown)
//   Subject, MessageClass   e.g. "IPM.Note.Voice.Voxaren" for a voice message
//   Unread              1 until the subscriber hears or reads it, then 0
//   ReceivedTime        local time of delivery, ISO 8601 ("2026-03-02T14:05:09")
//   AttachmentName, AttachmentContents   the message's file (a WAV), if any
//   RecipientName       the display name the sender addressed it to
//
// MessageProperty: the properties the sender set, one row each, in the order
//   set: MessageObjectID, OfAttachment (1: a property of the message's
//   attachment, 0: of the message), Tag (the property tag), Value (as text).
//
// NotificationMWI: one lamp device per row, ParentObjectID the subscriber.
//   Alias "MWI-1" with MWIExtension "X" is the lamp of the subscriber's
//   primary extension (made with the subscriber); others are named by the
//   caller that adds them. MWIOn is 1 while the lamp is lit. The server lights
//   every lamp of a subscriber while an unread voice message is waiting
//   (resyncLamps) and puts them out when none is.
#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <vector>

namespace voxaren {

inline const QString kVoiceMessageClass = QStringLiteral("IPM.Note.Voice.Voxaren");

struct MessageProperty {
    bool ofAttachment = false;
    quint32 tag = 0;
    QVariant value;  // read back as text
};

struct NewMessage {
    QString recipientObjectId;
    QString senderName;
    QString subject;
    QString messageClass = kVoiceMessageClass;
    QString attachmentName;
    QByteArray attachmentContents;
    QString recipientName = {};
    std::vector<MessageProperty> properties = {};
};

struct StoredMessage {
    QString objectId;
    QString recipientName;
    QString senderName;
    QString subject;
    QString messageClass;
    bool unread = true;
    QDateTime received;
    QString attachmentName;
    QByteArray attachmentContents;
    std::vector<MessageProperty> properties;  // in the order they were set
};

// Delivers the message unread (received now, by platform::clock()) and
// resynchronises the recipient's lamps. Refused for an unknown recipient.
// Returns the message's id.
QString deliverMessage(QSqlDatabase& db, const NewMessage& message);

// Marks every unread message of the subscriber read and resynchronises its
// lamps. Returns the number of messages marked.
int markMessagesRead(QSqlDatabase& db, const QString& subscriberId);

// Sets every lamp of the subscriber: on while an unread voice message waits.
// Returns that state.
bool resyncLamps(QSqlDatabase& db, const QString& subscriberId);

// The subscriber's messages, oldest first.
std::vector<StoredMessage> messagesFor(QSqlDatabase& db, const QString& subscriberId);

}  // namespace voxaren
