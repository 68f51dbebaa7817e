#include "common/ExtensionHolders.h"

#include <QStringList>

#include "common/DirectoryRoutines.h"
#include "common/HotelGuest.h"
#include "platform/db/recordset.h"

namespace {

const char* const kInScopeQueryHead =
    "SELECT * FROM ( "
    "SELECT CallhandlerObjectId AS ObjectId, 3 AS ObjectType, TextName AS DisplayName, "
    "LocationObjectId, "
    "DtmfAccessId FROM vw_Callhandler_NonPrimary WHERE DtmfAccessId IS NOT NULL "
    "Union SELECT InterviewHandlerObjectId AS ObjectId, 5 AS ObjectType, TextName AS DisplayName, "
    "LocationObjectId, DtmfAccessId FROM vw_InterviewHandler WHERE DtmfAccessId IS NOT NULL "
    "Union SELECT NameLookupHandlerObjectId AS ObjectId, 6 AS ObjectType, TextName AS DisplayName, "
    "LocationObjectId, DtmfAccessId FROM vw_NameLookupHandler WHERE DtmfAccessId IS NOT NULL "
    "Union SELECT SubscriberObjectId AS ObjectId, 1 AS ObjectType, DisplayName, LocationObjectId, "
    "DtmfAccessId "
    "FROM vw_Subscriber_Global WHERE DtmfAccessId IS NOT NULL "
    "Union SELECT SubscriberObjectID AS ObjectID, 1 AS ObjectType, "
    "vw_Subscriber_Global.DisplayName, "
    "vw_Subscriber_Global.LocationObjectID, vw_DTMFAccessID.DTMFAccessID FROM vw_DTMFAccessID "
    "INNER JOIN "
    "vw_Subscriber_Global ON "
    "vw_DTMFAccessID.ParentObjectID=vw_Subscriber_Global.SubscriberObjectID WHERE "
    "vw_DTMFAccessID.DTMFAccessID IS NOT NULL "
    "Union SELECT SystemDListObjectId AS ObjectId, 2 AS ObjectType, DisplayName, NULL AS "
    "LocationObjectId, "
    "DtmfAccessId FROM vw_DistributionList WHERE DtmfAccessId IS NOT NULL "
    "Union SELECT LocationObjectId AS ObjectId, 9 AS ObjectType, TextName AS DisplayName, "
    "LocationObjectId AS "
    "LocationObjectId, DtmfAccessId FROM vw_Location WHERE DtmfAccessId IS NOT NULL) t "
    "Where (LocationObjectId Is Null Or dbo.fn_LocationInScope(t.LocationObjectId, 1) = 1) AND "
    "DTMFAccessID IN (";
const char* const kInScopeQueryLocations =
    ") "
    "UNION Select LocationObjectID as ObjectID, 9 as OBjectType, TextName as DisplayName, "
    "LocationObjectID as "
    "LocationObjectID, DTMFAccessID from vw_Location WHERE DTMFAccessID IN (";

}  // namespace

QString ExtensionHolders::inScopeQuery(qsizetype count) {
    QStringList placeholders;
    for (qsizetype i = 0; i < count; ++i) placeholders << QStringLiteral("?");
    const QString list = placeholders.join(QStringLiteral(", "));
    return QLatin1String(kInScopeQueryHead) + list + QLatin1String(kInScopeQueryLocations) + list +
           QLatin1Char(')');
}

const QString& ExtensionHolders::dialingDomainQuery() {
    static const QString sql =
        QStringLiteral("SELECT * FROM vw_DTMFAccessID_DialingDomain WHERE DTMFAccessID=?");
    return sql;
}

QString ExtensionHolders::describe(platform::db::Recordset& rows) {
    QString holders;
    for (; !rows.IsEOF(); rows.MoveNext())
        holders += QStringLiteral("Extension= ") + rows.Text(HotelGuest::extensionColumn()) +
                   QStringLiteral(" is owned by ") +
                   modPMSFunctions::strGetObjectTypeName(
                       short(rows.Value(QStringLiteral("ObjectType")).toInt())) +
                   QStringLiteral(" with a Display Name= ") +
                   rows.Text(QStringLiteral("DisplayName")) + QStringLiteral(".  ");
    return holders;
}
