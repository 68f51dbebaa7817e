#include "sim/voxaren/MessageStore.h"

#include "platform/clock.h"
#include "platform/guid.h"
#include "sim/voxaren/Sql.h"
#include "sim/voxaren/Subscribers.h"

namespace voxaren {

namespace {

QVariant textOrNull(const QString& text) { return text.isNull() ? sql::nullText() : QVariant(text); }

}  // namespace

QString deliverMessage(QSqlDatabase& db, const NewMessage& m) {
    QString id;
    sql::asOneUnit(db, [&] {
        if (!subscriberExists(db, m.recipientObjectId))
            throw sql::refused(QStringLiteral("No subscriber %1 to deliver the message to.").arg(m.recipientObjectId));
        id = platform::newGuidText();
        sql::exec(db,
                  QStringLiteral("INSERT INTO Message (MessageObjectID, RecipientObjectID, RecipientName, SenderName, "
                                 "Subject, MessageClass, Unread, ReceivedTime, AttachmentName, AttachmentContents) "
                                 "VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?, ?)"),
                  {id, m.recipientObjectId, textOrNull(m.recipientName), textOrNull(m.senderName),
                   textOrNull(m.subject), textOrNull(m.messageClass), platform::clock().now().toString(Qt::ISODate),
                   textOrNull(m.attachmentName),
                   m.attachmentContents.isNull() ? QVariant(QMetaType::fromType<QByteArray>())
                                                 : QVariant(m.attachmentContents)});
        for (const MessageProperty& p : m.properties)
            sql::exec(db,
                      QStringLiteral("INSERT INTO MessageProperty (MessageObjectID, OfAttachment, Tag, Value) "
                                     "VALUES (?, ?, ?, ?)"),
                      {id, p.ofAttachment ? 1 : 0, qint64(p.tag), p.value});
        resyncLamps(db, m.recipientObjectId);
    });
    return id;
}

int markMessagesRead(QSqlDatabase& db, const QString& subscriberId) {
    int marked = 0;
    sql::asOneUnit(db, [&] {
        marked = sql::change(db, QStringLiteral("UPDATE Message SET Unread = 0 WHERE RecipientObjectID = ? AND Unread = 1"),
                             {subscriberId});
        resyncLamps(db, subscriberId);
    });
    return marked;
}

bool resyncLamps(QSqlDatabase& db, const QString& subscriberId) {
    const bool waiting = sql::scalar(db,
                                     QStringLiteral("SELECT 1 FROM Message WHERE RecipientObjectID = ? AND Unread = 1 "
                                                    "AND MessageClass = ?"),
                                     {subscriberId, kVoiceMessageClass})
                             .isValid();
    sql::exec(db, QStringLiteral("UPDATE NotificationMWI SET MWIOn = ? WHERE ParentObjectID = ?"),
              {waiting ? 1 : 0, subscriberId});
    return waiting;
}

std::vector<StoredMessage> messagesFor(QSqlDatabase& db, const QString& subscriberId) {
    QSqlQuery q = sql::exec(db,
                            QStringLiteral("SELECT MessageObjectID, SenderName, Subject, MessageClass, Unread, "
                                           "ReceivedTime, AttachmentName, AttachmentContents, RecipientName FROM "
                                           "Message WHERE RecipientObjectID = ? ORDER BY ReceivedTime, rowid"),
                            {subscriberId});
    std::vector<StoredMessage> messages;
    while (q.next()) {
        StoredMessage m;
        m.objectId = q.value(0).toString();
        m.senderName = q.value(1).toString();
        m.subject = q.value(2).toString();
        m.messageClass = q.value(3).toString();
        m.unread = q.value(4).toBool();
        m.received = QDateTime::fromString(q.value(5).toString(), Qt::ISODate);
        m.attachmentName = q.value(6).toString();
        m.attachmentContents = q.value(7).toByteArray();
        m.recipientName = q.value(8).toString();
        messages.push_back(m);
    }
    for (StoredMessage& m : messages) {
        QSqlQuery p = sql::exec(db,
                                QStringLiteral("SELECT OfAttachment, Tag, Value FROM MessageProperty WHERE "
                                               "MessageObjectID = ? ORDER BY rowid"),
                                {m.objectId});
        while (p.next())
            m.properties.push_back({p.value(0).toBool(), quint32(p.value(1).toLongLong()), p.value(2)});
    }
    return messages;
}

}  // namespace voxaren
