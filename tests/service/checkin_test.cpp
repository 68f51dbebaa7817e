// Check-in against the voice-messaging server stand-in, on a fake clock.
#include "service/CheckIn.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QtEndian>

#include "common/DiagnosticLogFile.h"
#include "common/DirectoryRoutines.h"
#include "common/ServiceSettings.h"
#include "common/ServiceState.h"
#include "common/SettingsTable.h"
#include "common/modLogging.h"
#include "platform/registry.h"
#include "service/ServiceMemory.h"
#include "sim/voxaren/DirectorySync.h"
#include "sim/voxaren/Seed.h"
#include "sim/voxaren/ServerAccess.h"
#include "tests/support/ServerFixture.h"

using modPMSFunctions::ActionCheckIn;

namespace {

// 2026-12-06 07:05:09 is 849855909 seconds after the turn of the century.
const QString kAlias1205 = QStringLiteral("ROOM849855909_1205");

class CheckInTest : public VoxarenTest {
protected:
    CheckInTest() { fakeClockStart = QDateTime(QDate(2026, 12, 6), QTime(7, 5, 9)); }
    void SetUp() override {
        VoxarenTest::SetUp();
        setting("Subscriber Template Alias", platform::RegValue::sz(QStringLiteral("DefaultTemplate")));
        ASSERT_TRUE(ReadRegistryKeys(serviceState.settings));
        streamFiles = path(QStringLiteral("server/stream files/"));
        ASSERT_EQ(serviceState.settings.StreamFilesPath, streamFiles);
        ASSERT_TRUE(QDir().mkpath(streamFiles));
    }

    void setting(const char* name, const platform::RegValue& value) {
        auto& store = platform::machineRegistry();
        store.createKey(QLatin1String(kSettingsKey));
        store.setValue(QLatin1String(kSettingsKey), QLatin1String(name), value);
    }
    void useRoomNumberAsPassword(quint32 on) {
        setting("Use Room Number As Password", platform::RegValue::fromDword(on));
    }

    bool checkIn(const QString& room, const QString& password = QStringLiteral("4321"),
                 const QString& s1 = QString(), const QString& s2 = QString(), const QString& s3 = QString(),
                 const QString& s4 = QString(), const QString& first = QStringLiteral("Ann"),
                 const QString& last = QStringLiteral("Lee")) {
        return ActionCheckIn({room, first, last, 1033, password, {s1, s2, s3, s4}}, serviceState,
                             memory);
    }

    QString guestId(const QString& room) {
        return value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID=?"), {room})
            .toString();
    }
    QStringList alternates(const QString& id) {
        return rows(QStringLiteral("SELECT DTMFAccessID FROM vw_DTMFAccessID WHERE ParentObjectID=? AND IsPrimaryID=0 "
                                   "ORDER BY DTMFAccessID"),
                    {id});
    }
    int subscribers() { return value(QStringLiteral("SELECT count(*) FROM Subscriber")).toInt(); }
    void exec(const QString& sql) {
        QSqlDatabase server = db();
        QSqlQuery query(server);
        ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
    }
    QString addHolder(voxaren::ObjectKind kind, const QString& extension, const QString& name) {
        QSqlDatabase server = db();
        return voxaren::addObject(server, kind, extension, name);
    }
    // The template's standard greeting as new guests inherit it.
    void giveTheTemplateAGreeting() {
        exec(QStringLiteral("UPDATE MessagingRule SET StreamPath='hotel.wav', PlayWhat=2, TimeExpires='2030-01-01' "
                            "WHERE Alias='Standard'"));
    }
    QStringList standardRule(const QString& id) {
        return rows(QStringLiteral("SELECT r.StreamPath, r.PlayWhat, r.TimeExpires FROM MessagingRule r JOIN "
                                   "vw_Subscriber s ON s.CallHandlerObjectID = r.ParentObjectID "
                                   "WHERE s.SubscriberObjectID=? AND r.Alias='Standard'"),
                    {id});
    }
    QByteArray shippedGreeting() {
        QFile file(binary(QStringLiteral("guestgreeting.wav")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void placeGreetingBesideTheComponent(const QByteArray& contents) {
        QFile file(environment().componentFolder() + QStringLiteral("/guestgreeting.wav"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    // Lines of the diagnostic log after its seven header lines.
    void startDiagnosticLog() {
        serviceState.log.folder = folder() + QStringLiteral("/logs/");
        logFile = serviceState.log.GenerateNewLogFileName();
        serviceState.log.StartLogFile(logFile);
    }
    QStringList logLines() {
        QStringList lines = readFile(logFile).split(QStringLiteral("\r\n"));
        lines.removeLast();  // after the last line end
        return lines.mid(7);
    }

    QString streamFiles;
    QString logFile;
    ServiceMemory memory;  // what the control would hold between the sweeps
};

const QString kConflictStart = QStringLiteral(
    "An attempted check in for room number %1 failed due to a conflict with that extension in the database.  All "
    "objects found to be using that extension: ");

// --- the guest that a check-in makes ---------------------------------------------------------------------------

TEST_F(CheckInTest, GuestWithAlternatesForSecondaryRoomsOneAndThree) {
    EXPECT_TRUE(checkIn(QStringLiteral("1205"), QStringLiteral("4321"), QStringLiteral("1206"), QString(),
                        QStringLiteral("1208"), QString()));
    EXPECT_EQ(eventTexts(), QStringList());

    const QString id = guestId(QStringLiteral("1205"));
    ASSERT_FALSE(id.isEmpty());
    EXPECT_EQ(alternates(id), (QStringList{"1206", "1208"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT Alias, UID, DisplayName, FirstName, LastName, PWDTMF, ConversationName, "
                                  "SubscriberType, Undeletable, ListInDirectory, SkipPWForKnownDevice FROM vw_Subscriber "
                                  "WHERE SubscriberObjectID=?"),
                   {id}),
              QStringList{kAlias1205 + "|" + kAlias1205 + "|Ann Lee - GUEST|Ann|Lee|4321|ConvHotel|1|0|0|0"});
    // The alternate contact rule rings the room; the finished ticket is gone.
    EXPECT_EQ(rows(QStringLiteral("SELECT c.Extension FROM ContactRule c JOIN vw_Subscriber s ON "
                                  "s.CallHandlerObjectID = c.ParentObjectID WHERE s.SubscriberObjectID=? AND "
                                  "c.Alias='Alternate'"),
                   {id}),
              QStringList{"1205"});
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM DirectorySyncTicket")).toInt(), 0);
    QString reason, name, found, alias;
    EXPECT_TRUE(modPMSFunctions::IsHotelGuest(serviceState.voiceServerConnection,
                                              QStringLiteral("1208"), reason, name, found, alias));
    EXPECT_EQ(found, id);
}

TEST_F(CheckInTest, OneRefusedAlternateIsLoggedAndTheNextIsStillAdded) {
    // Secondary room 1 repeats the room, which the guest holds already by then.
    EXPECT_TRUE(checkIn(QStringLiteral("1205"), QStringLiteral("4321"), QStringLiteral("1205"),
                        QStringLiteral("1206")));
    EXPECT_EQ(alternates(guestId(QStringLiteral("1205"))), QStringList{"1206"});
    ASSERT_EQ(eventTexts().size(), 1);
    EXPECT_TRUE(eventTexts()[0].startsWith(QStringLiteral("(error):50000 (Extension 1205 is already in use")));
    EXPECT_TRUE(eventTexts()[0].endsWith(QStringLiteral(") in procedure createGuest")));
}

TEST_F(CheckInTest, NamesWithQuotesAccentsAndTwoHundredCharactersArriveIntact) {
    const QString longFirst = QString(200, QLatin1Char('x'));
    const QString longLast = QStringLiteral("Ab") + QString(198, QChar(0x00E9));
    const struct {
        QString room, first, last;
    } guests[] = {
        {QStringLiteral("1301"), QStringLiteral("Seán"), QStringLiteral("O'Brien")},
        {QStringLiteral("1302"), QStringLiteral("Zoë \"Zed\""), QStringLiteral("Ångström-Müller")},
        {QStringLiteral("1303"), QStringLiteral("Bob'); DELETE FROM Subscriber;--"), QStringLiteral("Tables")},
        {QStringLiteral("1304"), longFirst, longLast},
    };
    for (const auto& g : guests) {
        EXPECT_TRUE(checkIn(g.room, QStringLiteral("1"), QString(), QString(), QString(), QString(), g.first, g.last))
            << g.room.toStdString();
        EXPECT_EQ(rows(QStringLiteral("SELECT FirstName, LastName, DisplayName FROM vw_Subscriber WHERE "
                                      "DTMFAccessID=?"),
                       {g.room}),
                  QStringList{g.first + "|" + g.last + "|" + g.first + " " + g.last + " - GUEST"})
            << g.room.toStdString();
    }
    EXPECT_EQ(subscribers(), 4);
    EXPECT_EQ(eventTexts(), QStringList());
}

// --- extensions already in use ----------------------------------------------------------------------------------

TEST_F(CheckInTest, CallHandlerOnTheRoomIsAConflictAndNothingIsMade) {
    addHolder(voxaren::ObjectKind::CallHandler, QStringLiteral("1205"), QStringLiteral("Front Desk"));
    EXPECT_FALSE(checkIn(QStringLiteral("1205")));
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_EQ(events.entries[0].id, modLogging::EVENT_ERROR);
    EXPECT_EQ(events.entries[0].severity, platform::EventSeverity::Error);
    EXPECT_EQ(events.entries[0].text,
              kConflictStart.arg("1205") +
                  "Extension= 1205 is owned by Call Handler with a Display Name= Front Desk.  ");
    EXPECT_EQ(subscribers(), 0);
}

TEST_F(CheckInTest, SecondaryRoomsAreCheckedToo) {
    // A distribution list on secondary room 3, a guest's alternate on secondary
    // room 2, a call handler on the last, secondary room 4.
    addHolder(voxaren::ObjectKind::DistributionList, QStringLiteral("1208"), QStringLiteral("Night Staff"));
    addHolder(voxaren::ObjectKind::CallHandler, QStringLiteral("1209"), QStringLiteral("Bell Desk"));
    const QString other = createGuest(QStringLiteral("1401"), QStringLiteral("ROOM1_1401"), "Tom", "Fox");
    platform::db::Command alt = command(QStringLiteral("sp_AddAltDTMFID"));
    alt.SetParameter(QStringLiteral("@strGUID"), other);
    alt.SetParameter(QStringLiteral("@nParentObjType"), 1);
    alt.SetParameter(QStringLiteral("@strAltID"), QStringLiteral("1207"));
    alt.Execute();

    EXPECT_FALSE(checkIn(QStringLiteral("1205"), QStringLiteral("4321"), QStringLiteral("1206"),
                         QStringLiteral("1207"), QStringLiteral("1208"), QStringLiteral("1209")));
    ASSERT_EQ(eventTexts().size(), 1);
    const QString message = eventTexts()[0];
    EXPECT_TRUE(message.startsWith(kConflictStart.arg("1205")));
    EXPECT_TRUE(message.contains("Extension= 1207 is owned by Subscriber with a Display Name= Tom Fox - GUEST.  "));
    EXPECT_TRUE(message.contains("Extension= 1208 is owned by Distribution List with a Display Name= Night Staff.  "));
    EXPECT_TRUE(message.contains("Extension= 1209 is owned by Call Handler with a Display Name= Bell Desk.  "));
    EXPECT_EQ(message.count(QStringLiteral("Extension= ")), 3);
    EXPECT_EQ(subscribers(), 1);
}

TEST_F(CheckInTest, LocationsConflictInScopeOrNot) {
    addHolder(voxaren::ObjectKind::RemoteLocation, QStringLiteral("1205"), QStringLiteral("Harbour Annex"));
    addHolder(voxaren::ObjectKind::Location, QStringLiteral("1206"), QStringLiteral("Garden Wing"));

    EXPECT_FALSE(checkIn(QStringLiteral("1205")));
    EXPECT_FALSE(checkIn(QStringLiteral("1210"), QStringLiteral("4321"), QStringLiteral("1206")));
    // The location in scope is found by both parts of the query, but named once.
    EXPECT_EQ(eventTexts(),
              (QStringList{kConflictStart.arg("1205") +
                               "Extension= 1205 is owned by Location Object with a Display Name= Harbour Annex.  ",
                           kConflictStart.arg("1210") +
                               "Extension= 1206 is owned by Location Object with a Display Name= Garden Wing.  "}));
    EXPECT_EQ(subscribers(), 0);
}

TEST_F(CheckInTest, UnreachableServerEndsTheCheckInWithoutCreating) {
    serviceState.voiceServerConnection =
        QStringLiteral("Driver={SQL Server};server=ELSEWHERE;database=VoxarenDb");
    EXPECT_FALSE(checkIn(QStringLiteral("1205")));
    ASSERT_EQ(eventTexts().size(), 1);
    EXPECT_TRUE(eventTexts()[0].startsWith(QStringLiteral("(error):")));
    EXPECT_TRUE(eventTexts()[0].endsWith(QStringLiteral(") in procedure ActionCheckIn of Module Module1")));
    serviceState.voiceServerConnection = voxaren::kLocalConnection;
    EXPECT_EQ(subscribers(), 0);
}

// --- the password -----------------------------------------------------------------------------------------------

TEST_F(CheckInTest, EmptyPasswordBecomesNull) {
    EXPECT_TRUE(checkIn(QStringLiteral("1205"), QString()));
    EXPECT_EQ(rows(QStringLiteral("SELECT PWDTMF FROM vw_Subscriber WHERE DTMFAccessID='1205'")),
              QStringList{"NULL"});
}

TEST_F(CheckInTest, RoomNumberAsPasswordIsReadAtEachCreation) {
    useRoomNumberAsPassword(1);
    EXPECT_TRUE(checkIn(QStringLiteral("1205"), QStringLiteral("4321")));
    EXPECT_TRUE(checkIn(QStringLiteral("1206"), QString()));
    useRoomNumberAsPassword(0);
    EXPECT_TRUE(checkIn(QStringLiteral("1207"), QStringLiteral("4321")));
    EXPECT_EQ(rows(QStringLiteral("SELECT DTMFAccessID, PWDTMF FROM vw_Subscriber ORDER BY DTMFAccessID")),
              (QStringList{"1205|1205", "1206|1206", "1207|4321"}));
}

TEST_F(CheckInTest, SkipPasswordFromRoomMarksTheGuest) {
    serviceState.settings.SkipPasswordFromRoom = true;
    EXPECT_TRUE(checkIn(QStringLiteral("1205")));
    serviceState.settings.SkipPasswordFromRoom = false;
    EXPECT_TRUE(checkIn(QStringLiteral("1206")));
    EXPECT_EQ(rows(QStringLiteral("SELECT DTMFAccessID, SkipPWForKnownDevice FROM vw_Subscriber ORDER BY 1")),
              (QStringList{"1205|1", "1206|0"}));
}

// --- the greeting -----------------------------------------------------------------------------------------------

TEST_F(CheckInTest, ShippedGreetingIsAShortPcmRecording) {
    const QByteArray wav = shippedGreeting();
    ASSERT_GE(wav.size(), 44);
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
    EXPECT_EQ(wav.left(4), QByteArray("RIFF"));
    EXPECT_EQ(wav.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(u16(20), 1);  // PCM
    EXPECT_EQ(u16(22), 1);  // mono
    EXPECT_EQ(u32(24), 8000u);
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(wav.mid(36, 4), QByteArray("data"));
    const double seconds = u32(40) / 16000.0;
    EXPECT_GT(seconds, 2.0);
    EXPECT_LT(seconds, 15.0);
    EXPECT_EQ(u32(40), quint32(wav.size() - 44));
}

TEST_F(CheckInTest, GreetingIsCopiedAndTheStandardRulePlaysIt) {
    giveTheTemplateAGreeting();
    const QByteArray greeting = shippedGreeting();
    ASSERT_FALSE(greeting.isEmpty());
    placeGreetingBesideTheComponent(greeting);
    {  // a file of the same name already there is replaced
        QFile old(streamFiles + kAlias1205 + QStringLiteral(".wav"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older recording");
    }
    EXPECT_TRUE(checkIn(QStringLiteral("1205")));
    EXPECT_EQ(eventTexts(), QStringList());
    QFile copy(streamFiles + kAlias1205 + QStringLiteral(".wav"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copy.readAll() == greeting);
    EXPECT_EQ(standardRule(guestId(QStringLiteral("1205"))), QStringList{kAlias1205 + QStringLiteral(".wav|1|NULL")});
}

TEST_F(CheckInTest, WithoutAGreetingFileTheTemplateGreetingStays) {
    giveTheTemplateAGreeting();
    EXPECT_TRUE(checkIn(QStringLiteral("1205")));
    EXPECT_EQ(standardRule(guestId(QStringLiteral("1205"))), QStringList{"hotel.wav|2|2030-01-01"});
    EXPECT_EQ(QDir(streamFiles).entryList(QDir::Files), QStringList());
    EXPECT_EQ(eventTexts(), QStringList());
}

TEST_F(CheckInTest, GreetingThatCannotBeCopiedLeavesTheTemplateGreeting) {
    giveTheTemplateAGreeting();
    placeGreetingBesideTheComponent("RIFF");
    ASSERT_TRUE(QDir(streamFiles).removeRecursively());
    EXPECT_TRUE(checkIn(QStringLiteral("1205")));
    EXPECT_EQ(eventTexts(), QStringList{"(error):76 (Path not found) in procedure createGuest"});
    EXPECT_EQ(standardRule(guestId(QStringLiteral("1205"))), QStringList{"hotel.wav|2|2030-01-01"});
}

TEST_F(CheckInTest, MissingStandardRuleIsReportedAndTheGuestStillMade) {
    placeGreetingBesideTheComponent("RIFF");
    exec(QStringLiteral("DELETE FROM MessagingRule"));
    EXPECT_TRUE(checkIn(QStringLiteral("1205")));
    EXPECT_EQ(eventTexts(),
              QStringList{"(error): could not find the standard greeting rule for new guest with alias=" + kAlias1205});
    EXPECT_FALSE(guestId(QStringLiteral("1205")).isEmpty());
}

// --- failures after the conflict check --------------------------------------------------------------------------

TEST_F(CheckInTest, RefusedCreationIsReportedWithTheServersReason) {
    serviceState.settings.SubscriberTemplateAlias = QStringLiteral("NoSuchTemplate");
    EXPECT_FALSE(checkIn(QStringLiteral("1205")));
    const QString reason = QStringLiteral("The subscriber template \"NoSuchTemplate\" does not exist.");
    EXPECT_EQ(eventTexts(), (QStringList{"(error):50000 (" + reason + ") in procedure createGuest",
                                         "SubscriberCreate stored procedure failed when creating new record: " + reason,
                                         "Guest creation for room number 1205 failed"}));
    EXPECT_EQ(subscribers(), 0);
}

TEST_F(CheckInTest, RefusedMarkingLeavesAnUnmarkedGuest) {
    exec(QStringLiteral("CREATE TRIGGER refuse_marking BEFORE UPDATE OF ConversationName ON Subscriber "
                        "BEGIN SELECT RAISE(ABORT, 'directory unavailable'); END"));
    serviceState.settings.SendWelcomeMessage = true;
    EXPECT_FALSE(checkIn(QStringLiteral("1205")));
    const QStringList texts = eventTexts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("(error):")));
    EXPECT_TRUE(texts[0].endsWith(QStringLiteral("directory unavailable) in procedure createGuest")));
    EXPECT_TRUE(texts[1].startsWith(
        QStringLiteral("SubscriberCreate stored procedure failed when syncying to directory: ")));
    EXPECT_TRUE(texts[1].endsWith(QStringLiteral("directory unavailable")));
    EXPECT_EQ(texts[2], QStringLiteral("Guest creation for room number 1205 failed"));
    // Made from the template, which does not make hotel guests.
    EXPECT_EQ(rows(QStringLiteral("SELECT ConversationName FROM vw_Subscriber WHERE DTMFAccessID='1205'")),
              QStringList{"ConvSubscriber"});
    EXPECT_EQ(memory.colNewGuests.count(), 0);
}

TEST_F(CheckInTest, SynchronisationThatNeverFinishes) {
    QSqlDatabase server = db();
    voxaren::planTickets(server, {voxaren::TicketPlan::never()});
    serviceState.settings.SendWelcomeMessage = true;
    const qint64 before = clock->sleptMs();

    EXPECT_FALSE(checkIn(QStringLiteral("1205")));
    EXPECT_EQ(clock->sleptMs() - before, 40000);
    EXPECT_EQ(eventTexts(),
              (QStringList{"Syncronization process failed to complete in a timely fashion.  Check the Syncovar logs in "
                           "the \\Corevane\\Logs directory",
                           "Syncronization process failed during room move. Check the Syncovar logs in the "
                           "\\Corevane\\Logs directory",
                           "Guest creation for room number 1205 failed"}));
    QString reason, name, id, alias;
    EXPECT_TRUE(modPMSFunctions::IsHotelGuest(serviceState.voiceServerConnection,
                                              QStringLiteral("1205"), reason, name, id, alias));
    EXPECT_EQ(memory.colNewGuests.count(), 0);
    // The ticket stays, with the flags the request carried.
    EXPECT_EQ(rows(QStringLiteral("SELECT ObjectID, Flags FROM DirectorySyncTicket")),
              QStringList{id + "|-2147483645"});
}

// --- the welcome-message queue ----------------------------------------------------------------------------------

TEST_F(CheckInTest, NewGuestsAreQueuedOnceInOrderWhenWelcomeMessagesAreOn) {
    serviceState.settings.SendWelcomeMessage = true;
    EXPECT_TRUE(checkIn(QStringLiteral("1206")));
    EXPECT_TRUE(checkIn(QStringLiteral("1205")));
    serviceState.settings.SendWelcomeMessage = false;
    EXPECT_TRUE(checkIn(QStringLiteral("1207")));
    const KeyedCollection& queue = memory.colNewGuests;
    const QString first = guestId(QStringLiteral("1206")), second = guestId(QStringLiteral("1205"));
    EXPECT_EQ(queue.keys(), (QStringList{first, second}));
    EXPECT_EQ(queue.item(first), first);
    EXPECT_EQ(queue.item(second), second);
}

// --- the debug lines --------------------------------------------------------------------------------------------

TEST_F(CheckInTest, DebugLinesInOrderUnderTheRoom) {
    serviceState.settings.DebugMode = true;
    startDiagnosticLog();
    EXPECT_TRUE(checkIn(QStringLiteral("1205"), QStringLiteral("4321"), QStringLiteral("1206"), QString(),
                        QStringLiteral("1208"), QString()));
    const QString at = QStringLiteral("12/6/2026 7:05:09 AM,1007,CHECK_IN_DEBUG,1205,,");
    const QString after = QStringLiteral("12/6/2026 7:05:11 AM,1007,CHECK_IN_DEBUG,1205,,");  // after the 2 s wait
    EXPECT_EQ(logLines(), (QStringList{
                              at + "Starting check in process for room number 1205",
                              at + "First Name= Ann",
                              at + "Last Name= Lee",
                              at + "Secondary Room 1= 1206",
                              at + "Secondary Room 2= ",
                              at + "Secondary Room 3= 1208",
                              at + "Secondary Room 4= ",
                              at + "Language=  1033",
                              at + "Password string= 4321",
                              at + "New UID=" + kAlias1205 + "1205",
                              at + "password is set to '4321'",
                              at + "Calling sp_CreateSubscriber",
                              at + "No custom greeting file found, skipping modifying guest greeting",
                              at + "Call to sp_CreateSubscriber complete, editing record in SQL.",
                              at + "Adding alternate extension:1206",
                              at + "Adding alternate extension:1208",
                              at + "Calling sp_ModifySubscriber",
                              at + "Call to directory sync done, waiting for sync to complete",
                              after + "Directory sync complete",
                              after + "Contact rule update forced",
                              after + "Guest creation succeeded",
                          }));
}

TEST_F(CheckInTest, DebugLinesOfThePasswordRulesAndTheGreeting) {
    serviceState.settings.DebugMode = true;
    startDiagnosticLog();
    placeGreetingBesideTheComponent("RIFF");
    useRoomNumberAsPassword(1);
    EXPECT_TRUE(ActionCheckIn({QStringLiteral("1205"), "Ann", "Lee", -1, QString(), {}},
                              serviceState, memory));
    useRoomNumberAsPassword(0);
    EXPECT_TRUE(ActionCheckIn({QStringLiteral("1206"), "Ann", "Lee", 0, QString(), {}},
                              serviceState, memory));
    const QStringList lines = logLines();
    const auto texts = [&](const QString& room) {
        QStringList found;
        const QString prefix = QStringLiteral(",1007,CHECK_IN_DEBUG,") + room + QStringLiteral(",,");
        for (const QString& line : lines)
            if (line.contains(prefix)) found << line.mid(line.indexOf(prefix) + prefix.size());
        return found;
    };
    const QStringList first = texts(QStringLiteral("1205"));
    EXPECT_TRUE(first.contains(QStringLiteral("Language= -1")));
    const qsizetype override = first.indexOf(
        QStringLiteral("Administrator requested for the guest PW to always match the room number - forcing over "
                       "ride.DefaultTemplate"));
    ASSERT_GE(override, 0);
    EXPECT_EQ(first.value(override + 1), QStringLiteral("password is set to '1205'"));
    EXPECT_EQ(first.value(override + 2), QStringLiteral("Calling sp_CreateSubscriber"));
    EXPECT_EQ(first.value(override + 3), QStringLiteral("Greeting set for new subscriber"));

    const QStringList second = texts(QStringLiteral("1206"));
    EXPECT_TRUE(second.contains(QStringLiteral("Language=  0")));
    EXPECT_TRUE(second.contains(QStringLiteral("PW is blank, forcing to blank for testing purposes"
                                               "DefaultTemplate")));
    EXPECT_FALSE(second.join('\n').contains(QStringLiteral("Administrator requested")));
    EXPECT_EQ(lines.size(), first.size() + second.size());
}

TEST_F(CheckInTest, NoDebugLinesOutsideDebugMode) {
    startDiagnosticLog();
    EXPECT_TRUE(checkIn(QStringLiteral("1205")));
    EXPECT_EQ(logLines(), QStringList());
}

}  // namespace
