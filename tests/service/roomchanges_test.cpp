// Guests changing rooms: a move gives one guest the new room's number and a
// new alias unless something else uses that number; a swap exchanges two
// guests' numbers. Either way the guest keeps its mailbox, and its lamps
// follow it.
#include "platform/registry.h"
#include "service/GuestActionRecovery.h"
#include "service/RoomChanges.h"

#include <gtest/gtest.h>

#include <QSqlQuery>

#include "sim/voxaren/Seed.h"
#include "tests/support/GuestFixture.h"

using namespace modPMSFunctions;

namespace {

const QString kUnknown = QStringLiteral("{00000000-0000-0000-0000-000000000000}");

class RoomChangesTest : public GuestFixture {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM1_101"));
        addAlternate(ann, QStringLiteral("2101"));
        bo = createGuest(QStringLiteral("102"), QStringLiteral("ROOM1_102"), QStringLiteral("Bo"),
                         QStringLiteral("Ek"));
        addAlternate(bo, QStringLiteral("2102"));
    }
    // "Alias|UID|DisplayName" of the subscriber.
    QString subscriber(const QString& id) {
        return rows(
                   QStringLiteral(
                       "SELECT Alias, UID, DisplayName FROM Subscriber WHERE SubscriberObjectID=?"),
                   {id})
            .value(0, QStringLiteral("(gone)"));
    }
    int unreadMessages(const QString& id) {
        return value(QStringLiteral(
                         "SELECT count(*) FROM Message WHERE RecipientObjectID=? AND Unread=1"),
                     {id})
            .toInt();
    }
    // The room's primary lamp as the lamp sweep reads it: 1 on, 0 off, "" when no guest has the
    // room.
    QString roomLamp(const QString& room) {
        return value(QStringLiteral(
                         "SELECT vw_NotificationMWI.MWIOn FROM vw_Subscriber INNER JOIN "
                         "vw_NotificationMWI "
                         "ON vw_NotificationMWI.ParentObjectID = vw_Subscriber.SubscriberObjectID "
                         "WHERE vw_NotificationMWI.Alias='MWI-1' AND vw_Subscriber.DTMFAccessID=?"),
                     {room})
            .toString();
    }
    // An object of another server of the dialing domain on the number; this server does not vet it.
    void replicatedSubscriber(const QString& extension, const QString& name) {
        QSqlDatabase server = db();
        voxaren::addObject(server, voxaren::ObjectKind::DialingDomainSubscriber, extension, name);
    }
    // The diagnostic lines of one event id.
    QStringList linesOf(const QString& prefix) {
        QStringList found;
        for (const QString& line : logLines())
            if (line.startsWith(prefix)) found << line;
        return found;
    }
    QString alias(const QString& room) {
        return QStringLiteral("ROOM%1_%2").arg(aliasSeconds(clock->now())).arg(room);
    }

    QString ann, bo;
};

// --- move ------------------------------------------------------------------

TEST_F(RoomChangesTest, AMovedGuestTakesTheNewNumberAndAliasAndKeepsItsMessagesAndLitLamp) {
    leaveVoiceMessage(ann);
    ASSERT_EQ(roomLamp(QStringLiteral("101")), QStringLiteral("1"));
    recordProcedures();
    const QString newAlias = alias(QStringLiteral("214"));
    const qint64 before = clock->sleptMs();

    ASSERT_TRUE(ActionRoomMove(serviceState, ann, QStringLiteral("101"), QStringLiteral("214")));

    EXPECT_EQ(subscriber(ann),
              newAlias + QLatin1Char('|') + newAlias + QStringLiteral("|Ann Lee - GUEST"));
    EXPECT_EQ(extensions(ann),
              QStringList{QStringLiteral("214|1")});  // the alternate is gone, none added
    EXPECT_EQ(unreadMessages(ann), 1);
    EXPECT_EQ(roomLamp(QStringLiteral("214")), QStringLiteral("1"));
    EXPECT_EQ(roomLamp(QStringLiteral("101")), QString());
    EXPECT_EQ(tickets(), 0);
    EXPECT_EQ(notifier->calls, QStringList({QStringLiteral("Set %1 0").arg(ann),
                                            QStringLiteral("Resync %1").arg(ann),
                                            QStringLiteral("Refresh %1 1").arg(ann)}));
    // 500 after removing the alternates, one look for the ticket, 50, then the re-evaluation's own
    // 50 and 200.
    EXPECT_EQ(clock->sleptMs() - before, 500 + 2000 + 50 + 50 + 200);

    ASSERT_EQ(procedures->of(QStringLiteral("sp_RemoveAltDTMFIDsByOID")).size(), 1u);
    EXPECT_EQ(procedures->of(QStringLiteral("sp_RemoveAltDTMFIDsByOID"))[0].arguments.value(
                  QStringLiteral("strGUID")),
              ann);
    const auto modifications = procedures->of(QStringLiteral("sp_ModifySubscriber"));
    ASSERT_EQ(modifications.size(), 2u);
    EXPECT_EQ(modifications[0].arguments,
              (QVariantMap{{QStringLiteral("SubscriberObjectID"), ann},
                           {QStringLiteral("DTMFAccessID"), QStringLiteral("214")},
                           {QStringLiteral("DirectorySync"), 0}}));
    EXPECT_EQ(modifications[1].arguments.value(QStringLiteral("DirectorySync")).toInt(), 1);
    EXPECT_EQ(modifications[1].arguments.value(QStringLiteral("DirectorySyncFlags")).toUInt(),
              0x80000001u);
    EXPECT_EQ(
        modifications[1].arguments.value(QStringLiteral("DirectorySyncTicket")).toString().size(),
        38);
    EXPECT_FALSE(modifications[1].arguments.contains(QStringLiteral("DTMFAccessID")));

    const QString line = QStringLiteral("1009,ROOM_MOVE_DEBUG,101,214,");
    EXPECT_EQ(
        linesOf(QStringLiteral("1009,")),
        QStringList({
            line + QStringLiteral("Room Move process started"),
            line + QStringLiteral("Old Room number=101"),
            line + QStringLiteral("New Room number=214"),
            line + QStringLiteral("New Alias=") + newAlias,
            line + QStringLiteral("SubscriberObjectID=") + ann,
            line + QStringLiteral("Clearing MWI for old room"),
            line + QStringLiteral("MWI Cleared for old room"),
            line + QStringLiteral("Alternate extensions removed"),
            line + QStringLiteral("Calling sp_ModifySubscriber"),
            line + QStringLiteral("Call to directory sync done, waiting for sync to complete"),
            line + QStringLiteral("Call to directory sync finished"),
            line + QStringLiteral("Synching MWI for new room"),
            line + QStringLiteral("MWI synched for new room"),
        }));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(RoomChangesTest, MovingOntoACallHandlersNumberIsRefusedBeforeAnythingChanges) {
    recordProcedures();
    EXPECT_FALSE(ActionRoomMove(serviceState, ann, QStringLiteral("101"), QStringLiteral("9000")));

    EXPECT_EQ(eventTexts(),
              QStringList{QStringLiteral(
                  "An attempted room move into room number 9000 failed due to a conflict with that "
                  "extension in the database.  All objects found to be using that extension: "
                  "Extension= 9000 is owned by Call Handler with a Display Name= Front Desk.  ")});
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_EQ(events.entries[0].id, 4);
    EXPECT_TRUE(procedures->calls.empty())
        << procedures->names().join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(notifier->calls.isEmpty());
    EXPECT_EQ(subscriber(ann), QStringLiteral("ROOM1_101|ROOM1_101|Ann Lee - GUEST"));
    EXPECT_EQ(extensions(ann), QStringList({QStringLiteral("101|1"), QStringLiteral("2101|0")}));
    EXPECT_EQ(
        linesOf(QStringLiteral("1009,")),
        QStringList{QStringLiteral("1009,ROOM_MOVE_DEBUG,101,9000,Room Move process started")});
}

TEST_F(RoomChangesTest, EveryHolderOfTheNewNumberIsListedInOneMessage) {
    replicatedSubscriber(QStringLiteral("9000"), QStringLiteral("Cy Ho"));
    EXPECT_FALSE(ActionRoomMove(serviceState, ann, QStringLiteral("101"), QStringLiteral("9000")));
    EXPECT_EQ(eventTexts(),
              QStringList{QStringLiteral(
                  "An attempted room move into room number 9000 failed due to a conflict with that "
                  "extension in the database.  All objects found to be using that extension: "
                  "Extension= 9000 is owned by Call Handler with a Display Name= Front Desk.  "
                  "Extension= 9000 is owned by Subscriber with a Display Name= Cy Ho.  ")});
    EXPECT_EQ(extensions(ann), QStringList({QStringLiteral("101|1"), QStringLiteral("2101|0")}));
}

TEST_F(RoomChangesTest, AMoveWhoseNewNumberCannotBeCheckedIsNotMade) {
    QSqlQuery drop(db());
    ASSERT_TRUE(drop.exec(QStringLiteral("DROP VIEW vw_DTMFAccessID_DialingDomain")));
    recordProcedures();
    EXPECT_FALSE(ActionRoomMove(serviceState, ann, QStringLiteral("101"), QStringLiteral("214")));
    ASSERT_EQ(eventTexts().size(), 1);
    EXPECT_TRUE(eventTexts()[0].startsWith(QLatin1String("(error):")))
        << eventTexts()[0].toStdString();
    EXPECT_TRUE(eventTexts()[0].endsWith(
        QLatin1String(") in procedure ActionRoomMove of Module modPMSFunctions")))
        << eventTexts()[0].toStdString();
    EXPECT_TRUE(procedures->calls.empty());
    EXPECT_TRUE(notifier->calls.isEmpty());
    EXPECT_EQ(extensions(ann), QStringList({QStringLiteral("101|1"), QStringLiteral("2101|0")}));
}

TEST_F(RoomChangesTest, NewerServersOnlyResynchroniseTheNewRoomsLampsOlderOnesForceThemOffFirst) {
    const QString line = QStringLiteral("1009,ROOM_MOVE_DEBUG,101,214,");
    const QStringList resync = {line + QStringLiteral("Synching MWI for new room"),
                                line + QStringLiteral("MWI synched for new room")};
    setVersion(0x30050);  // 4.0.3.80: lamp devices, but no forcing
    ASSERT_TRUE(ActionRoomMove(serviceState, ann, QStringLiteral("101"), QStringLiteral("214")));
    EXPECT_EQ(linesOf(line).mid(11), resync);
    EXPECT_EQ(notifier->calls, QStringList({QStringLiteral("Resync %1").arg(ann),
                                            QStringLiteral("Resync %1").arg(ann)}));
    // The old room's alternate keeps its stale lamp device.
    EXPECT_EQ(lamps(ann).size(), 2);

    setVersion(0x3004F);  // 4.0.3.79
    notifier->calls.clear();
    ASSERT_TRUE(ActionRoomMove(serviceState, bo, QStringLiteral("102"), QStringLiteral("215")));
    const QString boLine = QStringLiteral("1009,ROOM_MOVE_DEBUG,102,215,");
    EXPECT_EQ(linesOf(boLine).mid(11),
              QStringList({boLine + QStringLiteral("Forcing MWI off for new room"),
                           boLine + QStringLiteral("MWI forced off for new room"),
                           boLine + QStringLiteral("Synching MWI for new room"),
                           boLine + QStringLiteral("MWI synched for new room")}));
    EXPECT_EQ(notifier->calls.size(), 3);
    // Forced off on the new number: the devices are made anew for the extensions it has now.
    EXPECT_EQ(lamps(bo), QStringList{QStringLiteral("MWI-1|X|MWI-1|ROOM1_102|0|0")});
}

TEST_F(RoomChangesTest, AMoveThatFailsAfterTheCheckIsReportedAndFalse) {
    // A number the server refuses: the trap reports it, and its description is quoted.
    recordProcedures();
    EXPECT_FALSE(ActionRoomMove(serviceState, ann, QStringLiteral("101"), QString()));
    EXPECT_EQ(
        eventTexts(),
        QStringList({QStringLiteral("(error):50000 (An extension cannot be empty.) in procedure "
                                    "ActionRoomMove of Module modPMSFunctions"),
                     QStringLiteral("SubscriberModify stored procedure failed when updating SQL: "
                                    "An extension cannot be empty.")}));
    EXPECT_EQ(procedures->of(QStringLiteral("sp_ModifySubscriber")).size(), 1u);
    EXPECT_EQ(extensions(ann),
              QStringList{QStringLiteral("101|1")});  // the alternate went all the same

    // A subscriber the server does not know: no row and no error to quote.
    events.entries.clear();
    EXPECT_FALSE(
        ActionRoomMove(serviceState, kUnknown, QStringLiteral("101"), QStringLiteral("214")));
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral(
                                "SubscriberModify stored procedure failed when updating SQL: ")});

    // A synchronisation that finishes badly: moved, but not reported as done, and no lamp work for
    // the new room.
    events.entries.clear();
    notifier->calls.clear();
    planNext(voxaren::TicketPlan::finishAfter(500, 1));
    EXPECT_FALSE(ActionRoomMove(serviceState, bo, QStringLiteral("102"), QStringLiteral("214")));
    EXPECT_EQ(
        eventTexts(),
        QStringList{QStringLiteral(
            "SubscriberModify stored procedure failed to sync for room move from 102 to 214")});
    EXPECT_EQ(extensions(bo), QStringList{QStringLiteral("214|1")});
    EXPECT_EQ(notifier->calls, QStringList{QStringLiteral("Set %1 0").arg(bo)});
}

// --- swap ------------------------------------------------------------------

TEST_F(RoomChangesTest, ASwapGivesEachGuestTheOthersNumberAndTheAliasMadeForIt) {
    leaveVoiceMessage(ann);
    recordProcedures();
    const QString alias101 = alias(QStringLiteral("101"));
    const QString alias102 = alias(QStringLiteral("102"));
    const qint64 before = clock->sleptMs();

    ASSERT_TRUE(
        ActionRoomSwap(serviceState, QStringLiteral("101"), ann, QStringLiteral("102"), bo));

    EXPECT_EQ(subscriber(ann),
              alias102 + QLatin1Char('|') + alias102 + QStringLiteral("|Ann Lee - GUEST"));
    EXPECT_EQ(subscriber(bo),
              alias101 + QLatin1Char('|') + alias101 + QStringLiteral("|Bo Ek - GUEST"));
    EXPECT_EQ(extensions(ann), QStringList{QStringLiteral("102|1")});
    EXPECT_EQ(extensions(bo), QStringList{QStringLiteral("101|1")});
    // Ann's message and lit lamp went with her to 102.
    EXPECT_EQ(unreadMessages(ann), 1);
    EXPECT_EQ(roomLamp(QStringLiteral("102")), QStringLiteral("1"));
    EXPECT_EQ(roomLamp(QStringLiteral("101")), QStringLiteral("0"));
    EXPECT_EQ(tickets(), 0);

    QStringList freed;
    for (const RecordingProcedures::Call& c : procedures->calls)
        if (!c.procedure.startsWith(QLatin1String("sp_ModifySubscriber")) &&
            c.procedure != QLatin1String("sp_DeleteDirectorySyncTicket"))
            freed << c.procedure + QLatin1Char(' ') + c.arguments.first().toString();
    EXPECT_EQ(freed, QStringList({QStringLiteral("sp_RemoveAltDTMFIDsByOID ") + ann,
                                  QStringLiteral("sp_DeleteDTMFAccessID ") + ann,
                                  QStringLiteral("sp_RemoveAltDTMFIDsByOID ") + bo,
                                  QStringLiteral("sp_DeleteDTMFAccessID ") + bo}));
    const auto modifications = procedures->of(QStringLiteral("sp_ModifySubscriber"));
    ASSERT_EQ(modifications.size(), 4u);
    EXPECT_EQ(modifications[0].arguments.value(QStringLiteral("SubscriberObjectID")), ann);
    EXPECT_EQ(modifications[0].arguments.value(QStringLiteral("DTMFAccessID")),
              QStringLiteral("102"));
    EXPECT_EQ(modifications[1].arguments.value(QStringLiteral("DirectorySyncFlags")).toUInt(),
              0x80000001u);
    EXPECT_EQ(modifications[2].arguments.value(QStringLiteral("SubscriberObjectID")), bo);
    EXPECT_EQ(modifications[2].arguments.value(QStringLiteral("DTMFAccessID")),
              QStringLiteral("101"));
    EXPECT_NE(modifications[1].arguments.value(QStringLiteral("DirectorySyncTicket")),
              modifications[3].arguments.value(QStringLiteral("DirectorySyncTicket")));

    EXPECT_EQ(
        notifier->calls,
        QStringList({QStringLiteral("Set %1 0").arg(ann), QStringLiteral("Set %1 0").arg(bo),
                     QStringLiteral("Resync %1").arg(ann), QStringLiteral("Refresh %1 1").arg(ann),
                     QStringLiteral("Resync %1").arg(bo), QStringLiteral("Refresh %1 1").arg(bo)}));
    // 50 after the lamps, 500 after freeing, a look per ticket, two re-evaluations, 50.
    EXPECT_EQ(clock->sleptMs() - before, 50 + 500 + 2000 + 2000 + 2 * (50 + 200) + 50);

    const QString line = QStringLiteral("1010,ROOM_SWAP_DEBUG,101,102,");
    EXPECT_EQ(
        linesOf(QStringLiteral("1010,")),
        QStringList({
            line + QStringLiteral("Room swap process started"),
            line + QStringLiteral("Room 1=101"),
            line + QStringLiteral("Alias 1=") + alias101,
            line + QStringLiteral("SubscriberObjectID 1 =") + ann,
            line + QStringLiteral("Room 2=102"),
            line + QStringLiteral("Alias 2=") + alias102,
            line + QStringLiteral("SubscriberObjectID 2 =") + bo,
            line + QStringLiteral("Forcing lamp off for room #1101"),
            line + QStringLiteral("Forcing lamp off for room #2102"),
            line + QStringLiteral("Lamp forcing complete101"),
            line + QStringLiteral("Alternate extensions removed for subscriber 1"),
            line + QStringLiteral("Primary extension removed for subscriber 1"),
            line + QStringLiteral("Alternate extensions removed for subscriber 2"),
            line + QStringLiteral("Primary extension removed for subscriber 2"),
            line + QStringLiteral("Calling sp_ModifySubscriber for subscriber 1"),
            line +
                QStringLiteral(
                    "Call to directory sync done for subscriber 1, waiting for sync to complete"),
            line + QStringLiteral("Call to directory sync finished for subscriber 1"),
            line + QStringLiteral("Calling sp_ModifySubscriber for subscriber 2"),
            line +
                QStringLiteral(
                    "Call to directory sync done for subscriber 2, waiting for sync to complete"),
            line + QStringLiteral("Call to directory sync finished for subscriber 2"),
            line + QStringLiteral("Forcing MWI to resynch for Subcribers with ObjectID=") + ann +
                QStringLiteral(" and ObjectID=") + bo,
            line + QStringLiteral("Lamp resynch complete"),
        }));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(RoomChangesTest, AFailedSynchronisationForSubscriber1IsReportedAndTheSwapStillCompletes) {
    planNext(voxaren::TicketPlan::finishAfter(500, 1));
    EXPECT_TRUE(
        ActionRoomSwap(serviceState, QStringLiteral("101"), ann, QStringLiteral("102"), bo));
    EXPECT_EQ(
        eventTexts(),
        QStringList{QStringLiteral(
            "SubscriberModify stored procedure failed to sync for room swap from 101 to 102")});
    EXPECT_EQ(extensions(ann), QStringList{QStringLiteral("102|1")});
    EXPECT_EQ(extensions(bo), QStringList{QStringLiteral("101|1")});
    const QStringList lines = linesOf(QStringLiteral("1010,"));
    EXPECT_FALSE(lines.contains(QStringLiteral(
        "1010,ROOM_SWAP_DEBUG,101,102,Call to directory sync finished for subscriber 1")));
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "1010,ROOM_SWAP_DEBUG,101,102,Call to directory sync finished for subscriber 2")));
    EXPECT_EQ(lines.last(), QStringLiteral("1010,ROOM_SWAP_DEBUG,101,102,Lamp resynch complete"));
}

TEST_F(RoomChangesTest, AFirstModificationWithoutARowStopsBeforeSubscriber2IsGivenANumber) {
    // Another server of the dialing domain has taken 102 meanwhile: the server refuses subscriber
    // 1's new number.
    replicatedSubscriber(QStringLiteral("102"), QStringLiteral("Cy Ho"));
    recordProcedures();
    EXPECT_FALSE(
        ActionRoomSwap(serviceState, QStringLiteral("101"), ann, QStringLiteral("102"), bo));
    const QString refusal =
        QStringLiteral("Extension 102 is already in use by the Subscriber \"Cy Ho\".");
    EXPECT_EQ(
        eventTexts(),
        QStringList(
            {QStringLiteral("(error):50000 (") + refusal +
                 QStringLiteral(") in procedure ActionRoomSwap of Module modPMSFunctions"),
             QStringLiteral(
                 "SubscriberModify stored procedure failed when updating SQL for swap suscriber "
                 "function: ") +
                 refusal}));
    EXPECT_TRUE(extensions(ann).isEmpty());
    EXPECT_TRUE(extensions(bo).isEmpty());
    EXPECT_EQ(procedures->of(QStringLiteral("sp_ModifySubscriber")).size(), 1u);
    EXPECT_EQ(subscriber(bo), QStringLiteral("ROOM1_102|ROOM1_102|Bo Ek - GUEST"));
    EXPECT_EQ(notifier->calls.size(), 2);  // only the two lamps forced off

    // A subscriber 1 the server does not know: no row, nothing to quote, and subscriber 2 is left
    // without a number.
    const QString cy =
        createGuest(QStringLiteral("103"), QStringLiteral("ROOM1_103"), QStringLiteral("Cy"));
    events.entries.clear();
    EXPECT_FALSE(
        ActionRoomSwap(serviceState, QStringLiteral("104"), kUnknown, QStringLiteral("103"), cy));
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral(
                                "SubscriberModify stored procedure failed when updating SQL for "
                                "swap suscriber function: ")});
    EXPECT_TRUE(extensions(cy).isEmpty());
}

TEST_F(RoomChangesTest, ALaterModificationFailingIsReportedWithTheRoomsAndTheReason) {
    // 101 is taken elsewhere in the dialing domain once Ann has left it: Bo cannot have it.
    recordProcedures();
    replicatedSubscriber(QStringLiteral("101"), QStringLiteral("Cy Ho"));
    EXPECT_FALSE(
        ActionRoomSwap(serviceState, QStringLiteral("101"), ann, QStringLiteral("102"), bo));
    EXPECT_EQ(
        eventTexts().last(),
        QStringLiteral(
            "SubscriberModify stored procedure failed when updating SQL for swap suscriber "
            "function for "
            "room swap from 101 to 102\r\nReason=Extension 101 is already in use by the Subscriber "
            "\"Cy Ho\"."));
    EXPECT_EQ(extensions(ann), QStringList{QStringLiteral("102|1")});
    EXPECT_TRUE(extensions(bo).isEmpty());
    EXPECT_EQ(procedures->of(QStringLiteral("sp_ModifySubscriber")).size(), 3u);
    EXPECT_FALSE(notifier->calls.contains(
        QStringLiteral("Resync %1").arg(ann)));  // no lamp resynchronisation
}

}  // namespace

namespace {

// A swap the version before noted in its own key ("Swap In Progress", one
// value a field) and left with neither guest holding a number: the next
// sweep's first step gives each the room it was to take, and forgets it.
class InterruptedSwapTest : public RoomChangesTest {};

TEST_F(InterruptedSwapTest, TheOlderNoteOfAnUnfinishedSwapGivesEachGuestItsRoomAndIsForgotten) {
    for (const QString& guest : {ann, bo}) {
        platform::db::Command alternates = command(QStringLiteral("sp_RemoveAltDTMFIDsByOID"));
        alternates.SetParameter(QStringLiteral("@strGUID"), guest);
        alternates.Execute();
        platform::db::Command primary = command(QStringLiteral("sp_DeleteDTMFAccessID"));
        primary.SetParameter(QStringLiteral("@ParentOID"), guest);
        primary.Execute();
    }
    const QString key = QStringLiteral("Software\\Brightkeel\\Stavio\\Swap In Progress");
    platform::RegistryStore& store = platform::machineRegistry();
    store.createKey(key);
    const QStringList names{"Subscriber 1", "Room 1", "Alias 1", "Subscriber 2", "Room 2", "Alias 2"};
    const QStringList values{ann, QStringLiteral("102"), QStringLiteral("ROOM7_102"), bo, QStringLiteral("101"), QStringLiteral("ROOM7_101")};
    for (int i = 0; i < names.size(); ++i) store.setValue(key, names[i], platform::RegValue::sz(values[i]));

    EXPECT_TRUE(FinishInterruptedGuestAction(serviceState, memory));
    EXPECT_EQ(extensions(ann), QStringList{QStringLiteral("102|1")});
    EXPECT_EQ(extensions(bo), QStringList{QStringLiteral("101|1")});
    EXPECT_EQ(value(QStringLiteral("SELECT Alias FROM Subscriber WHERE SubscriberObjectID=?"), {ann}).toString(),
              QStringLiteral("ROOM7_102"));
    EXPECT_FALSE(store.keyExists(key));
}

}  // namespace
