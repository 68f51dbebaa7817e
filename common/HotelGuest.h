#pragma once
// A hotel guest as the voice-messaging server holds it: one subscriber of the
// hotel conversation (GuestDirectory), read from a row of the server's
// subscriber view. The view's columns are named here alone; the queries that
// select the rows (GuestDirectory::sql) name them in their SQL.
#include <QString>
#include <QVariant>
#include <optional>

namespace platform::db {
class Recordset;
}

// The subscriber view's columns as the system reads and writes them.
enum class GuestColumn {
    ObjectId,
    Alias,
    Uid,
    DisplayName,
    Extension,  // the primary one
    FirstName,
    LastName,
    Language,
    Conversation,
    CallHandler,
    MailAddress,
    Password,  // the phone password
    SkipPasswordOnKnownDevice,
};

struct HotelGuest {
    QString objectId;
    QString alias;
    QString displayName;
    std::optional<QString> extension;  // the primary one; none when the server holds NULL
    QString firstName;                 // NULL read as ""
    QString lastName;
    QVariant language;  // as the server holds it, NULL kept
    QString conversation;

    // The recordset's current row; a column the query did not select stays
    // empty (none for the extension).
    static HotelGuest fromCurrentRow(const platform::db::Recordset& rows);
    // The view's name of the column.
    static const QString& column(GuestColumn column);
    // The column of the primary extension, for finding a guest in a recordset.
    static const QString& extensionColumn() { return column(GuestColumn::Extension); }
};
