// The callers' own statements against the server: the extension-conflict
// query of check-in, the lamp sweep's join, writes through views, and the
// dialect they are written in.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSqlQuery>

#include "common/ExtensionHolders.h"
#include "common/GuestDirectory.h"
#include "common/Lamps.h"
#include "common/ServiceState.h"
#include "common/VoiceServerObjects.h"
#include "platform/db/connection.h"
#include "sim/voxaren/Dialect.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/Seed.h"
#include "sim/voxaren/ServerAccess.h"
#include "tests/support/ServerFixture.h"

using namespace platform::db;

namespace {

// Check-in's conflict query, the extension list bound; without its last,
// unscoped branch (locations), only the holders in scope.
QString conflictQuery(int extensions, bool withUnscopedBranch = true) {
    const QString query = ExtensionHolders::inScopeQuery(extensions);
    return withUnscopedBranch
               ? query
               : query.left(query.indexOf(QLatin1String("UNION Select LocationObjectID")));
}

class SchemaTest : public VoxarenTest {
protected:
    // "extension|type|display name" of each conflict, sorted.
    QStringList conflicts(const QStringList& extensions, bool withUnscopedBranch = true) {
        QVariantList values;
        for (const QString& e : extensions) values << e;
        if (withUnscopedBranch) values += values;
        Recordset rs = open(conflictQuery(int(extensions.size()), withUnscopedBranch), values);
        QStringList found;
        for (; !rs.IsEOF(); rs.MoveNext())
            found << rs.Text(QStringLiteral("DTMFAccessID")) + QLatin1Char('|') + rs.Text(QStringLiteral("ObjectType")) +
                         QLatin1Char('|') + rs.Text(QStringLiteral("DisplayName"));
        found.sort();
        return found;
    }
};

TEST_F(SchemaTest, ConflictQueryFindsEveryKindOfHolderOnce) {
    const QString guest = createGuest(QStringLiteral("1205"), QStringLiteral("ROOM5_1205"));
    Command alt = command(QStringLiteral("sp_AddAltDTMFID"));
    alt.SetParameter(QStringLiteral("@strGUID"), guest);
    alt.SetParameter(QStringLiteral("@nParentObjType"), 1);
    alt.SetParameter(QStringLiteral("@strAltID"), QStringLiteral("2205"));
    alt.Execute();

    const QStringList all = {"9000", "9100", "9200", "9300", "9400", "9500", "1205", "2205", "7777"};
    EXPECT_EQ(conflicts(all), (QStringList{"1205|1|Ann Lee - GUEST", "2205|1|Ann Lee - GUEST", "9000|3|Front Desk",
                                           "9100|2|All Staff", "9200|5|Guest Survey", "9300|6|Staff Directory",
                                           "9400|9|Hotel", "9500|9|Sister Hotel"}));
    // The sister hotel is outside the scope: only the last, unscoped branch finds it.
    EXPECT_EQ(conflicts({"9500", "9400"}, false), QStringList{"9400|9|Hotel"});
    EXPECT_TRUE(conflicts({"7777"}).isEmpty());
    // A move looks in the dialing domain for the holder of the new room's number.
    EXPECT_EQ(rows(QStringLiteral("SELECT DTMFAccessID, ObjectType, DisplayName FROM vw_DTMFAccessID_DialingDomain "
                                  "WHERE DTMFAccessID=?"),
                   {QStringLiteral("9000")}),
              QStringList{"9000|3|Front Desk"});
}

TEST_F(SchemaTest, DialingDomainViewAlsoShowsObjectsReplicatedFromOtherServers) {
    QSqlDatabase server = db();
    // Another server's subscriber on the number of this server's Front Desk: nothing here vets it.
    const QString bo = voxaren::addObject(server, voxaren::ObjectKind::DialingDomainSubscriber, QStringLiteral("9000"),
                                          QStringLiteral("Bo Ek"));
    voxaren::addObject(server, voxaren::ObjectKind::DialingDomainSubscriber, QStringLiteral("7000"),
                       QStringLiteral("Cy Ho"));
    const QStringList holders = rows(QStringLiteral("SELECT DTMFAccessID, ParentObjectID, ObjectType, IsPrimaryID, "
                                                    "DisplayName FROM vw_DTMFAccessID_DialingDomain WHERE DTMFAccessID=? "
                                                    "ORDER BY ObjectType"),
                                     {QStringLiteral("9000")});
    ASSERT_EQ(holders.size(), 2);
    EXPECT_EQ(holders[0], QStringLiteral("9000|%1|1|1|Bo Ek").arg(bo));
    EXPECT_TRUE(holders[1].endsWith(QLatin1String("|3|1|Front Desk"))) << holders[1].toStdString();
    // Nor do replicated objects reach this server's own extension table.
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM DTMFAccessID WHERE DTMFAccessID IN ('7000', '9000')")).toInt(), 1);

    // This server gives none of its own objects a number used in the dialing domain.
    try {
        voxaren::addObject(server, voxaren::ObjectKind::Subscriber, QStringLiteral("7000"), QStringLiteral("Di Ray"));
        FAIL() << "gave away a number of the dialing domain";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Extension 7000 is already in use by the Subscriber \"Cy Ho\"."));
    }
    EXPECT_THROW(voxaren::addObject(server, voxaren::ObjectKind::DialingDomainSubscriber, QStringLiteral(" "),
                                    QStringLiteral("Ed Fox")),
                 platform::Error);
}

TEST_F(SchemaTest, LocationScopeFunctionAnswersPerLocation) {
    const auto inScope = [&](const QVariant& location) {
        return value(QStringLiteral("SELECT dbo.fn_LocationInScope(?, 1)"), {location}).toInt();
    };
    const QString hotel = value(QStringLiteral("SELECT LocationObjectID FROM vw_Location WHERE Alias = 'Hotel'")).toString();
    const QString sister =
        value(QStringLiteral("SELECT LocationObjectID FROM vw_Location WHERE TextName = 'Sister Hotel'")).toString();
    EXPECT_EQ(inScope(hotel), 1);
    EXPECT_EQ(inScope(hotel.toLower()), 1);  // ids compare without case
    EXPECT_EQ(inScope(sister), 0);
    EXPECT_EQ(inScope(QStringLiteral("{00000000-0000-0000-0000-000000000000}")), 0);
    EXPECT_EQ(inScope(QVariant(QMetaType::fromType<QString>())), 0);
}

TEST_F(SchemaTest, LampSweepJoinSeesThePrimaryLampOfEveryHotelGuest) {
    const QString ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    createGuest(QStringLiteral("102"), QStringLiteral("ROOM1_102"), QStringLiteral("Bo"), QStringLiteral("Ek"));
    // A guest marked in lower case is still a hotel guest; a plain subscriber is not.
    Command lower = command(QStringLiteral("sp_ModifySubscriber"));
    lower.SetParameter(QStringLiteral("@SubscriberObjectID"), ann);
    lower.SetParameter(QStringLiteral("@ConversationName"), QStringLiteral("convhotel"));
    lower.Execute();
    Command staff = command(QStringLiteral("sp_CreateSubscriber"));
    staff.SetParameter(QStringLiteral("@Alias"), QStringLiteral("Manager"));
    staff.SetParameter(QStringLiteral("@DtmfAccessId"), QStringLiteral("103"));
    staff.SetParameter(QStringLiteral("@templateAlias"), QStringLiteral("DefaultTemplate"));
    staff.Execute();

    QSqlDatabase server = db();
    voxaren::deliverMessage(server, {ann, QStringLiteral("Front Desk"), QStringLiteral("Hello"),
                                     voxaren::kVoiceMessageClass, {}, {}});
    QStringList lamps = rows(GuestDirectory::sql(GuestDirectory::Query::PrimaryLamps));
    lamps.sort();
    EXPECT_EQ(lamps, (QStringList{"101|1", "102|0"}));
}

TEST_F(SchemaTest, LampDevicesCanBeReplacedOneRowPerExtension) {
    const QString guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    Command alt = command(QStringLiteral("sp_AddAltDTMFID"));
    alt.SetParameter(QStringLiteral("@strGUID"), guest);
    alt.SetParameter(QStringLiteral("@nParentObjType"), 1);
    alt.SetParameter(QStringLiteral("@strAltID"), QStringLiteral("201"));
    alt.Execute();

    // The administration's way: the devices replaced, one per extension.
    modPMSFunctions::SetMWIsForGuest(serviceState.voiceServerConnection,
                                     environment().serverObjects->GetNotifier(), guest);
    QSqlDatabase server = db();
    voxaren::deliverMessage(server, {guest, QString(), QStringLiteral("Hello"), voxaren::kVoiceMessageClass, {}, {}});
    EXPECT_EQ(rows(QStringLiteral("SELECT Alias, MWIExtension, UID, MWIOn FROM vw_NotificationMWI WHERE "
                                  "ParentObjectID=? ORDER BY Alias"),
                   {guest}),
              (QStringList{"MWI-1|X|MWI-1|1", "ROOM1_101201|201|ROOM1_101201|1"}));
    for (const QString& id : rows(QStringLiteral("SELECT NotificationMWIObjectID FROM NotificationMWI")))
        EXPECT_TRUE(id.contains(QRegularExpression(QStringLiteral("^\\{[0-9A-F-]{36}\\}$")))) << id.toStdString();

    // Read messages, or any other class of message, leave the lamps out.
    voxaren::markMessagesRead(server, guest);
    voxaren::deliverMessage(server, {guest, QString(), QStringLiteral("Fax"), QStringLiteral("IPM.Note"), {}, {}});
    EXPECT_EQ(rows(QStringLiteral("SELECT DISTINCT MWIOn FROM vw_NotificationMWI WHERE ParentObjectID=?"), {guest}),
              QStringList{"0"});
}

TEST_F(SchemaTest, ChangesThroughViewsReachTheBaseTables) {
    const QString guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    Recordset guests = open(QStringLiteral("Select * from vw_Subscriber WHERE ConversationName='ConvHotel'"), {},
                            adLockOptimistic);
    ASSERT_TRUE(guests.FindEqual(QStringLiteral("DTMFAccessID"), QStringLiteral("101")));
    guests.SetValue(QStringLiteral("FirstName"), QStringLiteral("Anna"));
    guests.SetValue(QStringLiteral("LastName"), QVariant(QMetaType::fromType<QString>()));
    guests.SetValue(QStringLiteral("DisplayName"), QStringLiteral("Anna"));
    guests.SetValue(QStringLiteral("Language"), 2057);
    guests.Update();
    EXPECT_EQ(rows(QStringLiteral("SELECT FirstName, LastName, DisplayName, Language FROM Subscriber "
                                  "WHERE SubscriberObjectID = ?"),
                   {guest}),
              QStringList{"Anna|NULL|Anna|2057"});

    const QString handler = value(QStringLiteral("SELECT CallHandlerObjectID FROM vw_Subscriber WHERE "
                                                 "SubscriberObjectID = ?"),
                                  {guest})
                                .toString();
    Recordset primary = open(QStringLiteral("SELECT * FROM vw_CallHandler_Primary WHERE CallHandlerObjectID=?"),
                             {handler}, adLockOptimistic);
    ASSERT_EQ(primary.RecordCount(), 1);
    primary.SetValue(QStringLiteral("ScheduleObjectName"), QStringLiteral("All Hours - All Days"));
    primary.Update();
    EXPECT_EQ(value(QStringLiteral("SELECT ScheduleObjectName FROM CallHandler WHERE CallHandlerObjectID = ?"),
                    {handler}),
              QStringLiteral("All Hours - All Days"));

}

// The administration copies the default class of service into a new row
// (GuestTemplateTest); the server's insert gives the row ids of its own.
TEST_F(SchemaTest, ANewClassOfServiceGetsIdsOfItsOwn) {
    open(QStringLiteral("INSERT cos (alias) VALUES (?)"), {QStringLiteral("HotelGuestCOS")});
    EXPECT_EQ(rows(QStringLiteral("SELECT Alias FROM COS ORDER BY Alias")),
              (QStringList{"defaultsubscriber", "HotelGuestCOS"}));
    const QStringList ids = rows(QStringLiteral("SELECT COSObjectID, msrepl_tran_version FROM COS"));
    ASSERT_EQ(ids.size(), 2);
    EXPECT_NE(ids[0].section('|', 0, 0), ids[1].section('|', 0, 0));
    EXPECT_NE(ids[0].section('|', 1, 1), ids[1].section('|', 1, 1));
    EXPECT_TRUE(ids[1].contains(QRegularExpression(QStringLiteral("^\\{[0-9A-F-]{36}\\}\\|\\{[0-9A-F-]{36}\\}$"))))
        << ids[1].toStdString();
}

TEST(Dialect, OnlyTheServersOwnSpellingsAreRewritten) {
    using voxaren::translateSql;
    EXPECT_EQ(translateSql(QStringLiteral("INSERT cos (alias) VALUES ('HotelGuestCOS')")),
              QStringLiteral("INSERT INTO cos (alias) VALUES ('HotelGuestCOS')"));
    EXPECT_EQ(translateSql(QStringLiteral("insert into COS (Alias) VALUES (?)")),
              QStringLiteral("insert into COS (Alias) VALUES (?)"));
    EXPECT_EQ(translateSql(QStringLiteral("SELECT dbo.fn_LocationInScope(x, 1), 'dbo.kept', \"dbo.too\" FROM t")),
              QStringLiteral("SELECT fn_LocationInScope(x, 1), 'dbo.kept', \"dbo.too\" FROM t"));
    EXPECT_EQ(translateSql(QStringLiteral("SELECT 'it''s dbo.x' AS a, DBO.f(1) FROM t WHERE n = 'INSERT x'")),
              QStringLiteral("SELECT 'it''s dbo.x' AS a, f(1) FROM t WHERE n = 'INSERT x'"));
    EXPECT_EQ(translateSql(QStringLiteral("SELECT * FROM mydbo.t")), QStringLiteral("SELECT * FROM mydbo.t"));

    EXPECT_EQ(voxaren::baseTableOf(QStringLiteral("vw_Subscriber")), QStringLiteral("Subscriber"));
    EXPECT_EQ(voxaren::baseTableOf(QStringLiteral("dbo.VW_CALLHANDLER_PRIMARY")), QStringLiteral("CallHandler"));
    EXPECT_EQ(voxaren::baseTableOf(QStringLiteral("vw_DirectorySyncTicket")), QString());
}

}  // namespace
