#include "common/HotelGuest.h"

#include "platform/db/recordset.h"

const QString& HotelGuest::extensionColumn() {
    static const QString name = QStringLiteral("DTMFAccessID");
    return name;
}

HotelGuest HotelGuest::fromCurrentRow(const platform::db::Recordset& rows) {
    const auto text = [&](const QString& column) {
        return rows.HasField(column) ? rows.Text(column) : QString();
    };
    HotelGuest guest;
    guest.objectId = text(QStringLiteral("SubscriberObjectID"));
    guest.alias = text(QStringLiteral("Alias"));
    guest.displayName = text(QStringLiteral("DisplayName"));
    if (rows.HasField(extensionColumn()) && !rows.IsNull(extensionColumn()))
        guest.extension = rows.Text(extensionColumn());
    guest.firstName = text(QStringLiteral("FirstName"));
    guest.lastName = text(QStringLiteral("LastName"));
    const QString language = QStringLiteral("Language");
    if (rows.HasField(language)) guest.language = rows.Value(language);
    return guest;
}
