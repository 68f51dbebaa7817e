// The server's procedures as the service and the administration call them.
#include <gtest/gtest.h>

#include "platform/db/connection.h"
#include "sim/voxaren/MessageStore.h"
#include "tests/support/ServerFixture.h"

using namespace platform::db;

namespace {

const QVariant kNull = QVariant(QMetaType::fromType<QString>());

class ProceduresTest : public VoxarenTest {
protected:
    Recordset modify(const QString& id, const QVariantMap& parameters, LockTypeEnum lockType = adLockReadOnly) {
        Command cmd = command(QStringLiteral("sp_ModifySubscriber"));
        cmd.SetParameter(QStringLiteral("@SubscriberObjectID"), id);
        for (auto it = parameters.begin(); it != parameters.end(); ++it) cmd.SetParameter(it.key(), it.value());
        return cmd.Execute(lockType);
    }
    void run(const QString& procedure, const QVariantMap& parameters) {
        Command cmd = command(procedure);
        for (auto it = parameters.begin(); it != parameters.end(); ++it) cmd.SetParameter(it.key(), it.value());
        cmd.Execute();
    }
    QStringList extensionsOf(const QString& id) {
        return rows(QStringLiteral("SELECT DTMFAccessID, IsPrimaryID FROM vw_DTMFAccessID WHERE ParentObjectID=? "
                                   "ORDER BY IsPrimaryID DESC, DTMFAccessID"),
                    {id});
    }
    // Rows that belong to the subscriber in every table that holds its parts.
    int partsOf(const QString& id) {
        return value(QStringLiteral(
                         "SELECT (SELECT count(*) FROM Subscriber WHERE SubscriberObjectID = ?) + "
                         "(SELECT count(*) FROM CallHandler WHERE OwnerObjectID = ?) + "
                         "(SELECT count(*) FROM DTMFAccessID WHERE ParentObjectID = ?) + "
                         "(SELECT count(*) FROM NotificationMWI WHERE ParentObjectID = ?) + "
                         "(SELECT count(*) FROM Message WHERE RecipientObjectID = ?)"),
                     {id, id, id, id, id})
            .toInt();
    }
    int refusal(const std::function<void()>& call, QString* text = nullptr) {
        try {
            call();
        } catch (const platform::Error& e) {
            if (text) *text = e.description();
            return e.number();
        }
        return 0;
    }
};

TEST_F(ProceduresTest, GuestTemplateAndGuestAreMadeFromTheirTemplates) {
    const QString defaultTemplate =
        value(QStringLiteral("SELECT SubscriberTemplateObjectID FROM SubscriberTemplate WHERE Alias='DefaultTemplate'"))
            .toString();
    Command createTemplate = command(QStringLiteral("csp_SubscriberTemplateCreate"));
    createTemplate.SetParameter(QStringLiteral("@Alias"), QStringLiteral("HotelGuestTemplate"));
    createTemplate.SetParameter(QStringLiteral("@TemplateOid"), defaultTemplate);
    Recordset tpl = createTemplate.Execute(adLockOptimistic);
    ASSERT_EQ(tpl.RecordCount(), 1);
    EXPECT_EQ(tpl.Text(QStringLiteral("ExitConversation")), QStringLiteral("PHGreeting"));  // copied
    tpl.SetValue(QStringLiteral("DisplayName"), QStringLiteral("Hotel Guest Template"));
    tpl.SetValue(QStringLiteral("ConversationName"), QStringLiteral("ConvHotel"));
    tpl.SetValue(QStringLiteral("ListInDirectory"), false);
    tpl.SetValue(QStringLiteral("PWDoesntEXpire"), true);
    tpl.SetValue(QStringLiteral("ExitConversation"), QStringLiteral("PHTransfer"));
    tpl.Update();
    const QString templateHandler = tpl.Text(QStringLiteral("CallHandlerObjectID"));
    Recordset schedule = open(QStringLiteral("SELECT * FROM vw_CallHandler_Primary WHERE CallHandlerObjectID=?"),
                              {templateHandler}, adLockOptimistic);
    schedule.SetValue(QStringLiteral("ScheduleObjectName"), QStringLiteral("All Hours - All Days"));
    schedule.Update();
    // The default template keeps its own handler and schedule.
    EXPECT_EQ(rows(QStringLiteral("SELECT h.ScheduleObjectName FROM vw_SubscriberTemplate t JOIN vw_CallHandler_Primary h "
                                  "ON h.CallHandlerObjectID = t.CallHandlerObjectID ORDER BY t.Alias")),
              (QStringList{"Weekdays", "All Hours - All Days"}));

    Command create = command(QStringLiteral("sp_CreateSubscriber"));
    const QVariantMap parameters = {{"@Alias", "ROOM5_1205"},          {"@DtmfAccessId", "1205"},
                                    {"@templateAlias", "HotelGuestTemplate"}, {"@SubscriberType", 1},
                                    {"@Undeletable", 0},                {"@DisplayName", "Ann Lee - GUEST"},
                                    {"@Uid", "ROOM5_1205"},             {"@FirstName", "Ann"},
                                    {"@LastName", "Lee"},               {"@PWDTMF", ""},
                                    {"@ListInDirectory", false},        {"@DirectorySync", 0}};
    for (auto it = parameters.begin(); it != parameters.end(); ++it) create.SetParameter(it.key(), it.value());
    Recordset created = create.Execute(adLockOptimistic);
    ASSERT_EQ(created.RecordCount(), 1);
    created.SetValue(QStringLiteral("PWDTMF"), kNull);
    created.Update();
    created.SetValue(QStringLiteral("SkipPWForKnownDevice"), true);
    created.Update();
    const QString id = created.Text(QStringLiteral("SubscriberObjectID"));
    const QString handler = created.Text(QStringLiteral("CallHandlerObjectID"));

    EXPECT_EQ(rows(QStringLiteral("SELECT s.Alias, s.UID, s.DTMFAccessID, s.DisplayName, s.PWDTMF, s.SkipPWForKnownDevice, "
                                  "s.ConversationName, s.ListInDirectory, s.PWDoesntExpire, s.ExitConversation, "
                                  "s.SMTPAddress, s.COSObjectID = t.COSObjectID FROM vw_Subscriber s, SubscriberTemplate t "
                                  "WHERE s.SubscriberObjectID = ? AND t.Alias = 'HotelGuestTemplate'"),
                   {id}),
              QStringList{"ROOM5_1205|ROOM5_1205|1205|Ann Lee - GUEST|NULL|1|ConvHotel|0|1|PHTransfer|"
                          "ROOM5_1205@voxaren.local|1"});
    EXPECT_NE(handler, templateHandler);
    EXPECT_EQ(rows(QStringLiteral("SELECT ScheduleObjectName, OwnerObjectID = ? FROM vw_CallHandler_Primary WHERE "
                                  "CallHandlerObjectID = ?"),
                   {id, handler}),
              QStringList{"All Hours - All Days|1"});
    EXPECT_EQ(rows(QStringLiteral("SELECT Alias, MWIExtension, UID, ParentAlias, MWIOn FROM vw_NotificationMWI WHERE "
                                  "ParentObjectID = ?"),
                   {id}),
              QStringList{"MWI-1|X|MWI-1|ROOM5_1205|0"});

    // The greeting and the alternate contact rule, found and set as guest creation does.
    Recordset greeting = open(QStringLiteral("SELECT * FROM MessagingRule WHERE ParentObjectID=? AND Alias='Standard'"),
                              {handler}, adLockOptimistic);
    ASSERT_EQ(greeting.RecordCount(), 1);
    greeting.SetValue(QStringLiteral("StreamPath"), QStringLiteral("ROOM5_1205.wav"));
    greeting.SetValue(QStringLiteral("TimeExpires"), kNull);
    greeting.SetValue(QStringLiteral("PlayWhat"), 1);
    greeting.Update();
    Recordset contact = open(QStringLiteral("Select * from ContactRule WHERE ParentObjectID=? AND Alias='Alternate'"),
                             {handler}, adLockOptimistic);
    ASSERT_EQ(contact.RecordCount(), 1);
    contact.SetValue(QStringLiteral("Extension"), QStringLiteral("1205"));
    contact.Update();
    EXPECT_EQ(rows(QStringLiteral("SELECT StreamPath, PlayWhat FROM MessagingRule WHERE ParentObjectID = ?"), {handler}),
              QStringList{"ROOM5_1205.wav|1"});
    EXPECT_EQ(rows(QStringLiteral("SELECT Extension FROM ContactRule WHERE ParentObjectID = ?"), {handler}),
              QStringList{"1205"});
    // The template's own rules are untouched.
    EXPECT_EQ(rows(QStringLiteral("SELECT StreamPath, PlayWhat FROM MessagingRule WHERE ParentObjectID = ?"),
                   {templateHandler}),
              QStringList{"NULL|0"});
}

TEST_F(ProceduresTest, AlternateExtensionsAreAddedAndRemovedApartFromThePrimary) {
    const QString guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    for (const char* alt : {"301", "201"})
        run(QStringLiteral("sp_AddAltDTMFID"), {{"@strGUID", guest}, {"@nParentObjType", 1}, {"@strAltID", alt}});
    EXPECT_EQ(extensionsOf(guest), (QStringList{"101|1", "201|0", "301|0"}));

    // The hotel-guest test finds the guest by an alternate extension.
    EXPECT_EQ(rows(QStringLiteral("SELECT vw_Subscriber.SubscriberObjectID, vw_Subscriber.ConversationName FROM "
                                  "vw_Subscriber INNER JOIN vw_DTMFAccessID ON vw_DTMFAccessID.ParentObjectID="
                                  "vw_Subscriber.SubscriberObjectID WHERE vw_DTMFAccessID.DTMFAccessID=?"),
                   {QStringLiteral("201")}),
              QStringList{guest + QStringLiteral("|ConvHotel")});

    run(QStringLiteral("sp_RemoveAltDTMFIDsByOID"), {{"@strGUID", guest}});
    EXPECT_EQ(extensionsOf(guest), QStringList{"101|1"});
    run(QStringLiteral("sp_DeleteDTMFAccessID"), {{"@ParentOID", guest}});
    EXPECT_TRUE(extensionsOf(guest).isEmpty());
    EXPECT_TRUE(value(QStringLiteral("SELECT DTMFAccessID FROM vw_Subscriber WHERE SubscriberObjectID=?"), {guest}).isNull());

    QString why;
    EXPECT_EQ(refusal([&] {
                  run(QStringLiteral("sp_AddAltDTMFID"), {{"@strGUID", QStringLiteral("{00000000-0000-0000-0000-000000000001}")},
                                                          {"@nParentObjType", 1},
                                                          {"@strAltID", "401"}});
              }, &why),
              50000);
    EXPECT_TRUE(why.contains(QLatin1String("Subscriber"))) << why.toStdString();
}

TEST_F(ProceduresTest, SwappedGuestsTakeEachOthersExtensionAfterBothAreFreed) {
    const QString one = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    const QString two = createGuest(QStringLiteral("102"), QStringLiteral("ROOM1_102"), QStringLiteral("Bo"));
    EXPECT_EQ(refusal([&] { modify(one, {{"@DTMFAccessID", "102"}, {"@DirectorySync", 0}}); }), 50000);
    for (const QString& id : {one, two}) {
        run(QStringLiteral("sp_RemoveAltDTMFIDsByOID"), {{"@strGUID", id}});
        run(QStringLiteral("sp_DeleteDTMFAccessID"), {{"@ParentOID", id}});
    }
    Recordset first = modify(one, {{"@DTMFAccessID", "102"}, {"@DirectorySync", 0}}, adLockOptimistic);
    ASSERT_EQ(first.RecordCount(), 1);
    first.SetValue(QStringLiteral("Alias"), QStringLiteral("ROOM2_102"));
    first.SetValue(QStringLiteral("UID"), QStringLiteral("ROOM2_102"));
    first.Update();
    modify(two, {{"@DTMFAccessID", "101"}, {"@DirectorySync", 0}});
    QStringList swapped = rows(QStringLiteral("SELECT DTMFAccessID, Alias, UID, FirstName FROM vw_Subscriber "
                                              "ORDER BY DTMFAccessID"));
    EXPECT_EQ(swapped, (QStringList{"101|ROOM1_102|ROOM1_102|Bo", "102|ROOM2_102|ROOM2_102|Ann"}));
}

TEST_F(ProceduresTest, ExtensionsInUseAreRefusedAndARefusedCallChangesNothing) {
    const int before = value(QStringLiteral("SELECT (SELECT count(*) FROM Subscriber) + (SELECT count(*) FROM CallHandler) "
                                            "+ (SELECT count(*) FROM DTMFAccessID) + (SELECT count(*) FROM NotificationMWI)"))
                           .toInt();
    QString why;
    EXPECT_EQ(refusal([&] { createGuest(QStringLiteral("9000"), QStringLiteral("ROOM1_9000")); }, &why), 50000);
    EXPECT_TRUE(why.contains(QLatin1String("Call Handler \"Front Desk\""))) << why.toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT (SELECT count(*) FROM Subscriber) + (SELECT count(*) FROM CallHandler) "
                                   "+ (SELECT count(*) FROM DTMFAccessID) + (SELECT count(*) FROM NotificationMWI)"))
                  .toInt(),
              before);

    const QString ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    const QString bo = createGuest(QStringLiteral("102"), QStringLiteral("ROOM1_102"), QStringLiteral("Bo"));
    EXPECT_EQ(refusal([&] { createGuest(QStringLiteral("101"), QStringLiteral("ROOM2_101")); }), 50000);
    EXPECT_EQ(refusal([&] { createGuest(QStringLiteral("103"), QStringLiteral("room1_101")); }), 50000);
    EXPECT_EQ(refusal([&] {
                  run(QStringLiteral("sp_AddAltDTMFID"), {{"@strGUID", bo}, {"@nParentObjType", 1}, {"@strAltID", "101"}});
              }),
              50000);
    // The new name was written before the extension was refused: both are undone.
    EXPECT_EQ(refusal([&] { modify(bo, {{"@DisplayName", "Bo: CHECKED OUT"}, {"@DTMFAccessID", "101"}}); }), 50000);
    EXPECT_EQ(rows(QStringLiteral("SELECT DTMFAccessID, DisplayName FROM vw_Subscriber WHERE SubscriberObjectID=?"), {bo}),
              QStringList{"102|Bo Lee - GUEST"});
    EXPECT_EQ(extensionsOf(ann), QStringList{"101|1"});
}

TEST_F(ProceduresTest, ModifyAndDeleteFileTheCallersTickets) {
    const QString guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    const QString ticket = QStringLiteral("{0B5C3E1A-0000-4000-8000-000000000001}");
    Recordset synced = modify(guest, {{"@ConversationName", "ConvHotel"},
                                      {"@DirectorySync", 1},
                                      {"@DirectorySyncFlags", qint32(0x80000003)},
                                      {"@DirectorySyncTicket", ticket}});
    ASSERT_EQ(synced.RecordCount(), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT Ticket, ObjectID, Flags FROM vw_DirectorySyncTicket")),
              QStringList{ticket + QLatin1Char('|') + guest + QStringLiteral("|-2147483645")});
    // Without @DirectorySync = 1 a ticket is not filed; an unknown subscriber gets no row and no ticket.
    modify(guest, {{"@DirectorySync", 0}, {"@DirectorySyncTicket", "{0B5C3E1A-0000-4000-8000-000000000002}"}});
    Recordset unknown = modify(QStringLiteral("{00000000-0000-0000-0000-000000000009}"),
                               {{"@DirectorySync", 1}, {"@DirectorySyncTicket", "{0B5C3E1A-0000-4000-8000-000000000003}"}},
                               adLockOptimistic);
    EXPECT_EQ(unknown.State(), adStateOpen);
    EXPECT_EQ(unknown.RecordCount(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM vw_DirectorySyncTicket")).toInt(), 1);

    // Check-out: the archive extension and name, then the alias through the returned row.
    Recordset archived = modify(guest,
                                {{"@DTMFAccessID", "10120260302140509"},
                                 {"@DisplayName", "Ann Lee: CHECKED OUT"},
                                 {"@DirectorySync", 0}},
                                adLockOptimistic);
    archived.SetValue(QStringLiteral("Alias"), QStringLiteral("OUT_ROOM9_101"));
    archived.SetValue(QStringLiteral("UID"), QStringLiteral("OUT_ROOM9_101"));
    archived.Update();
    EXPECT_EQ(rows(QStringLiteral("SELECT Alias, UID, DTMFAccessID, DisplayName FROM vw_Subscriber WHERE "
                                  "ConversationName='ConvHotel' AND Alias LIKE 'OUT_ROOM%'")),
              QStringList{"OUT_ROOM9_101|OUT_ROOM9_101|10120260302140509|Ann Lee: CHECKED OUT"});

    QSqlDatabase server = db();
    voxaren::deliverMessage(server, {guest, QStringLiteral("Front Desk"), QStringLiteral("Hi"),
                                     voxaren::kVoiceMessageClass, {}, {}});
    ASSERT_GT(partsOf(guest), 4);
    const QString deleteTicket = QStringLiteral("{0B5C3E1A-0000-4000-8000-000000000004}");
    run(QStringLiteral("sp_DeleteSubscriber"), {{"@SubscriberObjectID", guest},
                                                {"@DirectorySync", 1},
                                                {"@DirectorySyncFlags", 3},
                                                {"@ForceRemove", 1},
                                                {"@DirectorySyncTicket", deleteTicket}});
    EXPECT_EQ(partsOf(guest), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM MessagingRule WHERE ParentObjectID NOT IN "
                                   "(SELECT CallHandlerObjectID FROM CallHandler)"))
                  .toInt(),
              0);
    EXPECT_EQ(value(QStringLiteral("SELECT ObjectID FROM vw_DirectorySyncTicket WHERE Ticket=?"), {deleteTicket}), guest);
    EXPECT_EQ(refusal([&] { run(QStringLiteral("sp_DeleteSubscriber"), {{"@SubscriberObjectID", guest}}); }), 50000);
}

TEST_F(ProceduresTest, UndeletableSubscriberNeedsForceRemove) {
    Command create = command(QStringLiteral("sp_CreateSubscriber"));
    create.SetParameter(QStringLiteral("@Alias"), QStringLiteral("Manager"));
    create.SetParameter(QStringLiteral("@DtmfAccessId"), QStringLiteral("500"));
    create.SetParameter(QStringLiteral("@templateAlias"), QStringLiteral("defaulttemplate"));
    create.SetParameter(QStringLiteral("@Undeletable"), 1);
    const QString id = create.Execute().Text(QStringLiteral("SubscriberObjectID"));
    EXPECT_EQ(refusal([&] { run(QStringLiteral("sp_DeleteSubscriber"), {{"@SubscriberObjectID", id}}); }), 50000);
    run(QStringLiteral("sp_DeleteSubscriber"), {{"@SubscriberObjectID", id}, {"@ForceRemove", 1}});
    EXPECT_EQ(partsOf(id), 0);
}

TEST_F(ProceduresTest, MisspeltParameterAndUnknownProcedureAreErrors) {
    const QString guest = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
    QString why;
    EXPECT_EQ(refusal([&] { modify(guest, {{"@DisplayName", "Changed"}, {"@DTMFAcessID", "102"}}); }, &why),
              errors::BadArguments);
    EXPECT_TRUE(why.contains(QLatin1String("@DTMFAcessID"))) << why.toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT DisplayName FROM vw_Subscriber WHERE SubscriberObjectID=?"), {guest}),
              QStringLiteral("Ann Lee - GUEST"));
    EXPECT_EQ(refusal([&] { run(QStringLiteral("sp_Frobnicate"), {}); }), 2812);
    // Names are matched without regard to case.
    modify(guest, {{"@displayname", "Ann Lee"}});
    EXPECT_EQ(value(QStringLiteral("SELECT DisplayName FROM vw_Subscriber WHERE SubscriberObjectID=?"), {guest}),
              QStringLiteral("Ann Lee"));
}

}  // namespace
