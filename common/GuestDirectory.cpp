#include "common/GuestDirectory.h"

#include <array>

#include "common/GuestAlias.h"
#include "common/HotelGuest.h"
#include "platform/db/recordset.h"

using platform::db::Recordset;

const QString& GuestDirectory::conversation() {
    static const QString name = QStringLiteral("ConvHotel");
    return name;
}

bool GuestDirectory::isHotelConversation(const QString& name) {
    return name.compare(conversation(), Qt::CaseInsensitive) == 0;
}

const QString& GuestDirectory::sql(Query query) {
    static const std::array<QString, 12> texts{
        QStringLiteral("Select * from vw_Subscriber WHERE ConversationName='ConvHotel'"),
        QStringLiteral(
            "Select * from vw_Subscriber WHERE ConversationName='ConvHotel' AND DTMFAccessID=?"),
        QStringLiteral(
            "SELECT Alias, SubscriberObjectID, DTMFAccessID, DisplayName FROM vw_Subscriber "
            "WHERE ConversationName='ConvHotel' AND Alias LIKE '%1%'")
            .arg(GuestAlias::archivedPrefix()),
        QStringLiteral("SELECT Alias, FirstName, LastName, DisplayName, DTMFAccessID, "
                       "SubscriberObjectID FROM vw_Subscriber "
                       "WHERE ConversationName='ConvHotel' ORDER BY DTMFAccessID"),
        QStringLiteral("SELECT SubscriberObjectID, Alias, DisplayName, DTMFAccessID, FirstName, "
                       "LastName, Language "
                       "FROM vw_Subscriber WHERE ConversationName='ConvHotel'"),
        QStringLiteral(
            "SELECT vw_Subscriber.DTMFAccessID, vw_NotificationMWI.MWIOn FROM vw_Subscriber "
            "INNER JOIN vw_NotificationMWI ON vw_NotificationMWI.ParentObjectID = "
            "vw_Subscriber.SubscriberObjectID "
            "WHERE vw_NotificationMWI.Alias='MWI-1' AND "
            "vw_Subscriber.ConversationName='ConvHotel'"),
        QStringLiteral("SELECT * FROM vw_Subscriber WHERE SubscriberObjectID=?"),
        QStringLiteral("SELECT * FROM vw_Subscriber WHERE Alias=?"),
        QStringLiteral(
            "SELECT DTMFAccessID, Alias, SMTPAddress, SubscriberObjectID from vw_Subscriber "
            "WHERE SubscriberObjectID=?"),
        QStringLiteral("SELECT DTMFAccessID FROM vw_DTMFAccessID WHERE ParentObjectID=?"),
        QStringLiteral("SELECT DTMFAccessID, ParentObjectID, IsPrimaryID FROM vw_DTMFAccessID"),
        QStringLiteral("SELECT ParentObjectID, MWIOn FROM vw_NotificationMWI WHERE Alias='MWI-1'")};
    return texts[size_t(query)];
}

namespace {

// The column of an extension's or a lamp's holder.
const QString& holderColumn() {
    static const QString name = QStringLiteral("ParentObjectID");
    return name;
}

}  // namespace

GuestDirectory::HeldExtension GuestDirectory::heldExtension(const Recordset& row) {
    return {row.Text(HotelGuest::extensionColumn()), row.Text(holderColumn()),
            row.Value(QStringLiteral("IsPrimaryID"))};
}

QVariant GuestDirectory::lampState(const Recordset& row) {
    return row.Value(QStringLiteral("MWIOn"));
}

QString GuestDirectory::lampHolder(const Recordset& row) {
    return row.Text(holderColumn());
}
