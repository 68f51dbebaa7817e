#pragma once
// What every guest action needs on the voice-messaging server's directory:
// guest aliases, directory-synchronisation tickets and the wait for them, the
// alternate contact rule of a new guest, the hotel-guest test, and the names
// of object types and PMS languages.
#include <QDateTime>
#include <QString>
#include <optional>

namespace modPMSFunctions {

// A new guest alias for the room, made now (see GuestAlias).
QString strGenerateAlias(const QString& roomNumber);

// A new ticket: a GUID in registry text form (38 characters).
QString strGenerateGUID();

// Waits (20 looks, 2 s apart) for the server to finish the synchronisation
// named by the ticket; true when it finished with result 0. A finished ticket
// is deleted on the server at `connection`.
bool bWaitForDirectorySync(const QString& ticket, const QString& connection);

// Points the call handler's "Alternate" contact rule at the extension.
void forceContactRuleUpdate(const QString& connection, const QString& callHandlerObjectId,
                            const QString& extension);

// True when exactly one hotel-guest subscriber holds the extension (primary or
// alternate); then reason and objectId hold its object id, displayName and
// alias its values. Otherwise reason says why and the other outputs are left
// as they were. Asks the server at `connection`.
bool IsHotelGuest(const QString& connection, const QString& extension, QString& reason,
                  QString& displayName, QString& objectId, QString& alias);
// The administration's form: no alias.
bool IsHotelGuest(const QString& connection, const QString& extension, QString& reason, QString& displayName,
                  QString& objectId);

QString strGetObjectTypeName(short objectType);

// A subscriber's alias and primary extension ("" when it has none) on the
// server at `connection`; none when the server does not know it.
struct SubscriberNumbers {
    QString alias, extension;
};
std::optional<SubscriberNumbers> subscriberNumbers(const QString& connection,
                                                   const QString& objectId);
qint32 lngGetLanguageLCID(qint32 pmsLanguage);

}  // namespace modPMSFunctions
