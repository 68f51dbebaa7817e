#pragma once
// The hotel guests of the voice-messaging server: the subscribers of the
// hotel conversation. The one place that names the conversation and holds
// the queries that select its subscribers, so that the sweeps, the lamps,
// the audit and the guest list all mean the same guests.
#include <QString>
#include <QVariant>

namespace platform::db {
class Recordset;
}

class GuestDirectory {
public:
    // The conversation that makes a subscriber a hotel guest.
    static const QString& conversation();
    // Whether a subscriber's conversation is the hotel's, letter case ignored.
    static bool isHotelConversation(const QString& name);

    enum class Query {
        EveryGuest,        // every column of every hotel guest (the sweep's guest list)
        GuestOnExtension,  // the same for one primary extension, bound
        ArchivedGuests,    // alias, object id, extension and display name of each archived guest
        GuestList,         // the guest view's columns, by extension
        AuditColumns,      // what the audit compares
        PrimaryLamps,      // extension and lamp state of each hotel guest's primary lamp
        // Any subscriber, hotel guest or not:
        SubscriberWithObjectId,  // every column, the object id bound
        SubscriberWithAlias,     // every column, the alias bound
        WelcomeRecipient,  // extension, alias, mail address and object id, the object id bound
        ExtensionsOfSubscriber,  // the extensions a subscriber holds, its object id bound
        EveryExtension,  // every extension with its holder and whether it is the holder's primary
                         // one
        PrimaryLampHolders,  // the holder and state of every primary lamp
    };
    static const QString& sql(Query query);

    // A row of EveryExtension (or of any query of every column of the extensions).
    struct HeldExtension {
        QString extension;
        QString holderId;
        QVariant primary;  // as the server holds it
    };
    static HeldExtension heldExtension(const platform::db::Recordset& row);
    // Of a row of PrimaryLamps or PrimaryLampHolders: the lamp's state as the
    // server holds it; of PrimaryLampHolders: the object id of its holder.
    static QVariant lampState(const platform::db::Recordset& row);
    static QString lampHolder(const platform::db::Recordset& row);
};
