#pragma once
// Subscribers and subscriber templates as the server's procedures make,
// change and remove them.
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace voxaren {

// A new subscriber; a QVariant left invalid takes the template's value (or
// the server's default).
struct NewSubscriber {
    QString alias;
    QString extension;
    QString templateAlias;
    QVariant subscriberType;
    QVariant undeletable;
    QVariant displayName;
    QVariant uid;
    QVariant firstName;
    QVariant lastName;
    QVariant pwdtmf;
    QVariant listInDirectory;
};

// The mail domain of subscribers' SMTP addresses (alias@domain).
inline const QString kMailDomain = QStringLiteral("voxaren.local");

// Creates the subscriber from its template: class of service, conversation,
// exits and settings of the template, a copy of the template's call handler
// with its messaging and contact rules, the primary extension and a primary
// lamp device ("MWI-1"). Refused for an unknown template, a taken alias or an
// extension in use. Returns the new object id.
QString createSubscriber(QSqlDatabase& db, const NewSubscriber& subscriber);

bool subscriberExists(QSqlDatabase& db, const QString& objectId);

// Makes `extension` the subscriber's primary extension (refused when another
// object, or one of its own alternates, holds it).
void setPrimaryExtension(QSqlDatabase& db, const QString& objectId, const QString& extension);

// Removes the subscriber with its call handler, rules, extensions, lamp
// devices and messages. Refused for an unknown subscriber, and for an
// undeletable one unless forced.
void deleteSubscriber(QSqlDatabase& db, const QString& objectId, bool force);

// A copy of a call handler (with its rules) that belongs to `ownerId`; a
// bare handler when the source is missing. Returns the new handler's id.
QString copyCallHandler(QSqlDatabase& db, const QVariant& sourceId, const QString& ownerId,
                        const QString& alias, const QString& textName);

// A new template copied from `sourceId` under `alias`, with its own copy of
// the source's call handler. Returns the new template's id.
QString createTemplate(QSqlDatabase& db, const QString& alias, const QString& sourceId);

// The location this server's objects belong to.
QString localLocationId(QSqlDatabase& db);

}  // namespace voxaren
