#include "sim/voxaren/Subscribers.h"

#include <QDateTime>

#include "platform/clock.h"
#include "platform/guid.h"
#include "sim/voxaren/Extensions.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/Sql.h"

namespace voxaren {

namespace {

QVariant given(const QVariant& value, const QVariant& fallback) { return value.isValid() ? value : fallback; }

QVariant flag(const QVariant& value) { return value.isNull() ? value : QVariant(value.toBool() ? 1 : 0); }

}  // namespace

QString localLocationId(QSqlDatabase& db) {
    return sql::scalar(db, QStringLiteral("SELECT LocationObjectID FROM Location WHERE IsLocal = 1")).toString();
}

QString copyCallHandler(QSqlDatabase& db, const QVariant& sourceId, const QString& ownerId, const QString& alias,
                        const QString& textName) {
    const QString id = platform::newGuidText();
    const int copied = sql::change(
        db,
        QStringLiteral("INSERT INTO CallHandler (CallHandlerObjectID, Alias, TextName, IsPrimary, OwnerObjectID, "
                       "LocationObjectID, ScheduleObjectName) SELECT ?, ?, ?, 1, ?, LocationObjectID, "
                       "ScheduleObjectName FROM CallHandler WHERE CallHandlerObjectID = ?"),
        {id, alias, textName, ownerId, sourceId.isNull() ? sql::nullText() : sourceId});
    if (copied == 0) {
        sql::exec(db,
                  QStringLiteral("INSERT INTO CallHandler (CallHandlerObjectID, Alias, TextName, IsPrimary, "
                                 "OwnerObjectID, LocationObjectID) VALUES (?, ?, ?, 1, ?, ?)"),
                  {id, alias, textName, ownerId, localLocationId(db)});
        return id;
    }
    sql::exec(db,
              QStringLiteral("INSERT INTO MessagingRule (ParentObjectID, Alias, Enabled, PlayWhat, StreamPath, "
                             "TimeExpires) SELECT ?, Alias, Enabled, PlayWhat, StreamPath, TimeExpires "
                             "FROM MessagingRule WHERE ParentObjectID = ?"),
              {id, sourceId});
    sql::exec(db,
              QStringLiteral("INSERT INTO ContactRule (ParentObjectID, Alias, Enabled, Extension) "
                             "SELECT ?, Alias, Enabled, Extension FROM ContactRule WHERE ParentObjectID = ?"),
              {id, sourceId});
    return id;
}

QString createSubscriber(QSqlDatabase& db, const NewSubscriber& s) {
    if (s.alias.trimmed().isEmpty()) throw sql::refused(QStringLiteral("A subscriber needs an alias."));
    if (s.extension.trimmed().isEmpty())
        throw sql::refused(QStringLiteral("A subscriber needs an extension (@DtmfAccessId)."));
    QSqlQuery t = sql::exec(
        db,
        QStringLiteral("SELECT SubscriberTemplateObjectID, COSObjectID, ConversationName, GreetByName, "
                       "ListInDirectory, PWDoesntExpire, PWMustChange, Undeletable, ExitAction, ExitConversation, "
                       "ExitObjectID, CallHandlerObjectID, LocationObjectID, Language, SwitchID, "
                       "SkipPWForKnownDevice FROM SubscriberTemplate WHERE Alias = ?"),
        {s.templateAlias});
    if (!t.next())
        throw sql::refused(QStringLiteral("The subscriber template \"%1\" does not exist.").arg(s.templateAlias));
    QVariantList templateRow;
    for (int i = 0; i < 16; ++i) templateRow << t.value(i);
    t.finish();
    const auto tv = [&](int column) { return templateRow.at(column); };
    if (sql::scalar(db, QStringLiteral("SELECT 1 FROM Subscriber WHERE Alias = ?"), {s.alias}).isValid())
        throw sql::refused(QStringLiteral("The alias \"%1\" is already in use.").arg(s.alias));
    requireFreeExtension(db, s.extension);

    const QString id = platform::newGuidText();
    const QVariant displayName = given(s.displayName, s.alias);
    const QString handler =
        copyCallHandler(db, tv(11), id, QStringLiteral("ch_") + s.alias, displayName.toString());
    const QVariant location = tv(12).isNull() ? QVariant(localLocationId(db)) : tv(12);
    sql::exec(db,
              QStringLiteral(
                  "INSERT INTO Subscriber (SubscriberObjectID, Alias, UID, DisplayName, FirstName, LastName, "
                  "ConversationName, SubscriberType, SwitchID, SMTPAddress, Language, PWDTMF, "
                  "SkipPWForKnownDevice, ListInDirectory, Undeletable, GreetByName, PWDoesntExpire, PWMustChange, "
                  "ExitAction, ExitConversation, ExitObjectID, CallHandlerObjectID, LocationObjectID, COSObjectID, "
                  "SubscriberTemplateObjectID, CreationTime) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {id, s.alias, given(s.uid, s.alias), displayName, given(s.firstName, sql::nullText()),
               given(s.lastName, sql::nullText()), tv(2), given(s.subscriberType, 1), tv(14),
               s.alias + QLatin1Char('@') + kMailDomain, tv(13), given(s.pwdtmf, sql::nullText()), tv(15),
               flag(given(s.listInDirectory, tv(4))), flag(given(s.undeletable, tv(7))), tv(3), tv(5), tv(6),
               tv(8), tv(9), tv(10), handler, location, tv(1), tv(0),
               platform::clock().now().toString(Qt::ISODate)});
    addExtension(db, s.extension, id, kSubscriberObject, true);
    sql::exec(db,
              QStringLiteral("INSERT INTO NotificationMWI (NotificationMWIObjectID, ParentAlias, ParentObjectID, "
                             "ParentObjectIDType, MWIMediaTypes, MWIMessageTypes, MWIOn, Alias, MWIExtension, UID, "
                             "SwitchID) VALUES (?, ?, ?, 1, 2, 3, 0, 'MWI-1', 'X', 'MWI-1', ?)"),
              {platform::newGuidText(), s.alias, id, tv(14)});
    return id;
}

bool subscriberExists(QSqlDatabase& db, const QString& objectId) {
    return sql::scalar(db, QStringLiteral("SELECT 1 FROM Subscriber WHERE SubscriberObjectID = ?"), {objectId})
        .isValid();
}

void setPrimaryExtension(QSqlDatabase& db, const QString& objectId, const QString& extension) {
    if (extension.trimmed().isEmpty()) throw sql::refused(QStringLiteral("An extension cannot be empty."));
    if (const auto holder = extensionHolder(db, extension)) {
        if (holder->primary && holder->objectId.compare(objectId, Qt::CaseInsensitive) == 0) return;
        requireFreeExtension(db, extension);
    }
    const int moved = sql::change(
        db, QStringLiteral("UPDATE DTMFAccessID SET DTMFAccessID = ? WHERE ParentObjectID = ? AND IsPrimaryID = 1"),
        {extension, objectId});
    if (moved == 0) addExtension(db, extension, objectId, kSubscriberObject, true);
}

void deleteSubscriber(QSqlDatabase& db, const QString& objectId, bool force) {
    const QVariant undeletable =
        sql::scalar(db, QStringLiteral("SELECT Undeletable FROM Subscriber WHERE SubscriberObjectID = ?"), {objectId});
    if (!undeletable.isValid())
        throw sql::refused(QStringLiteral("The subscriber %1 does not exist.").arg(objectId));
    if (undeletable.toBool() && !force)
        throw sql::refused(QStringLiteral("The subscriber %1 is undeletable.").arg(objectId));
    const QString handlers = QStringLiteral("SELECT CallHandlerObjectID FROM CallHandler WHERE OwnerObjectID = ?");
    sql::exec(db, QStringLiteral("DELETE FROM MessagingRule WHERE ParentObjectID IN (%1)").arg(handlers), {objectId});
    sql::exec(db, QStringLiteral("DELETE FROM ContactRule WHERE ParentObjectID IN (%1)").arg(handlers), {objectId});
    sql::exec(db, QStringLiteral("DELETE FROM CallHandler WHERE OwnerObjectID = ?"), {objectId});
    sql::exec(db, QStringLiteral("DELETE FROM DTMFAccessID WHERE ParentObjectID = ?"), {objectId});
    sql::exec(db, QStringLiteral("DELETE FROM NotificationMWI WHERE ParentObjectID = ?"), {objectId});
    sql::exec(db,
              QStringLiteral("DELETE FROM MessageProperty WHERE MessageObjectID IN (SELECT MessageObjectID FROM "
                             "Message WHERE RecipientObjectID = ?)"),
              {objectId});
    sql::exec(db, QStringLiteral("DELETE FROM Message WHERE RecipientObjectID = ?"), {objectId});
    sql::exec(db, QStringLiteral("DELETE FROM Subscriber WHERE SubscriberObjectID = ?"), {objectId});
}

QString createTemplate(QSqlDatabase& db, const QString& alias, const QString& sourceId) {
    if (alias.trimmed().isEmpty()) throw sql::refused(QStringLiteral("A subscriber template needs an alias."));
    const QVariant sourceHandler = sql::scalar(
        db, QStringLiteral("SELECT CallHandlerObjectID FROM SubscriberTemplate WHERE SubscriberTemplateObjectID = ?"),
        {sourceId});
    if (!sourceHandler.isValid())
        throw sql::refused(QStringLiteral("The subscriber template %1 does not exist.").arg(sourceId));
    if (sql::scalar(db, QStringLiteral("SELECT 1 FROM SubscriberTemplate WHERE Alias = ?"), {alias}).isValid())
        throw sql::refused(QStringLiteral("The subscriber template alias \"%1\" is already in use.").arg(alias));
    const QString id = platform::newGuidText();
    const QString handler = copyCallHandler(db, sourceHandler, id, QStringLiteral("ch_") + alias, alias);
    sql::exec(db,
              QStringLiteral(
                  "INSERT INTO SubscriberTemplate (SubscriberTemplateObjectID, Alias, DisplayName, TextName, "
                  "CallHandlerObjectID, COSObjectID, ConversationName, GreetByName, ListInDirectory, PWDoesntExpire, "
                  "PWMustChange, Undeletable, ExitAction, ExitConversation, ExitObjectID, LocationObjectID, Language, "
                  "SwitchID, SkipPWForKnownDevice) SELECT ?, ?, ?, ?, ?, COSObjectID, ConversationName, GreetByName, "
                  "ListInDirectory, PWDoesntExpire, PWMustChange, Undeletable, ExitAction, ExitConversation, "
                  "ExitObjectID, LocationObjectID, Language, SwitchID, SkipPWForKnownDevice FROM SubscriberTemplate "
                  "WHERE SubscriberTemplateObjectID = ?"),
              {id, alias, alias, alias, handler, sourceId});
    return id;
}

}  // namespace voxaren
