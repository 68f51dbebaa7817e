#include "common/HotelGuest.h"

#include <array>

#include "platform/db/recordset.h"

const QString& HotelGuest::column(GuestColumn column) {
    static const std::array<QString, size_t(GuestColumn::SkipPasswordOnKnownDevice) + 1> names{
        QStringLiteral("SubscriberObjectID"),
        QStringLiteral("Alias"),
        QStringLiteral("UID"),
        QStringLiteral("DisplayName"),
        QStringLiteral("DTMFAccessID"),
        QStringLiteral("FirstName"),
        QStringLiteral("LastName"),
        QStringLiteral("Language"),
        QStringLiteral("ConversationName"),
        QStringLiteral("CallHandlerObjectID"),
        QStringLiteral("SMTPAddress"),
        QStringLiteral("PWDTMF"),
        QStringLiteral("SkipPWForKnownDevice")};
    return names[size_t(column)];
}

HotelGuest HotelGuest::fromCurrentRow(const platform::db::Recordset& rows) {
    const auto text = [&](GuestColumn name) {
        return rows.HasField(column(name)) ? rows.Text(column(name)) : QString();
    };
    HotelGuest guest;
    guest.objectId = text(GuestColumn::ObjectId);
    guest.alias = text(GuestColumn::Alias);
    guest.displayName = text(GuestColumn::DisplayName);
    if (rows.HasField(extensionColumn()) && !rows.IsNull(extensionColumn()))
        guest.extension = rows.Text(extensionColumn());
    guest.firstName = text(GuestColumn::FirstName);
    guest.lastName = text(GuestColumn::LastName);
    guest.conversation = text(GuestColumn::Conversation);
    const QString& language = column(GuestColumn::Language);
    if (rows.HasField(language)) guest.language = rows.Value(language);
    return guest;
}
