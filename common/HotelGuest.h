#pragma once
// A hotel guest as the voice-messaging server holds it: one subscriber of the
// hotel conversation (GuestDirectory), read from a row of the server's
// subscriber view by the names of that view's guest columns. The queries
// that select the rows (GuestDirectory::sql) name the columns in their SQL.
#include <QString>
#include <QVariant>
#include <optional>

namespace platform::db {
class Recordset;
}

struct HotelGuest {
    QString objectId;
    QString alias;
    QString displayName;
    std::optional<QString> extension;  // the primary one; none when the server holds NULL
    QString firstName;                 // NULL read as ""
    QString lastName;
    QVariant language;  // as the server holds it, NULL kept

    // The recordset's current row; a column the query did not select stays
    // empty (none for the extension).
    static HotelGuest fromCurrentRow(const platform::db::Recordset& rows);
    // The column of the primary extension, for finding a guest in a recordset.
    static const QString& extensionColumn();
};
