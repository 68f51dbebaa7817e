#include "service/CheckIn.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "common/DirectoryRoutines.h"
#include "common/ErrorNumbers.h"
#include "common/ErrorTrap.h"
#include "common/ExtensionHolders.h"
#include "common/GreetingRule.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/ServiceState.h"
#include "common/SettingsTable.h"
#include "common/SystemEnv.h"
#include "common/modLogging.h"
#include "platform/db/command.h"
#include "service/ServiceMemory.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

// What the server's procedures are told about a new guest's directory
// synchronisation: the top bit and the two lowest bits.
constexpr qint32 kDirectorySyncFlags = qint32(0x80000003u);

// A check-in's debug line, written in debug mode only, under the room.
void debugLine(const QString& room, const QString& text) {
    modLogging::DebugLog(modLogging::EVENT_CHECK_IN_DEBUG, text, room);
}

QStringList nonEmpty(const QStringList& rooms) {
    QStringList kept;
    for (const QString& room : rooms)
        if (!room.isEmpty()) kept << room;
    return kept;
}

// Copies a file over any file of the target's name.
void copyReplacing(const QString& from, const QString& to) {
    if (!QFileInfo(from).isFile()) throw platform::Error(errnum::FileNotFound, QStringLiteral("File not found"));
    if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
        throw platform::Error(errnum::PathNotFound, QStringLiteral("Path not found"));
    QFile target(to);
    if (target.exists() && !target.remove())
        throw platform::Error(errnum::PathFileAccess,
                          QStringLiteral("Path/File access error: ") + target.errorString());
    QFile source(from);
    if (!source.copy(to))
        throw platform::Error(errnum::PathFileAccess,
                          QStringLiteral("Path/File access error: ") + source.errorString());
}

QVariant nullText() { return QVariant(QMetaType::fromType<QString>()); }

}  // namespace

bool ActionCheckIn(const NewGuest& newGuest, ServiceState& state, ServiceMemory& memory) {
    const QString& roomNumber = newGuest.room;
    ErrorTrap trap("ActionCheckIn", "Module", "Module1");
    const auto debug = [&](const QString& text) { debugLine(roomNumber, text); };

    debug(QStringLiteral("Starting check in process for room number ") + roomNumber);
    debug(QStringLiteral("First Name= ") + newGuest.firstName);
    debug(QStringLiteral("Last Name= ") + newGuest.lastName);
    for (int i = 0; i < 4; ++i)
        debug(QStringLiteral("Secondary Room %1= ").arg(i + 1) + newGuest.secondaryRooms.value(i));
    // A number of 0 or more is written with a blank where a sign would stand.
    debug(QStringLiteral("Language= ") + (newGuest.language >= 0 ? QStringLiteral(" ") : QString()) +
          QString::number(newGuest.language));
    debug(QStringLiteral("Password string= ") + newGuest.password);

    // The room and its secondary rooms, each bound in both lists of the query.
    const QStringList extensions = QStringList{roomNumber} + nonEmpty(newGuest.secondaryRooms);
    QVariantList values;
    for (int pass = 0; pass < 2; ++pass)
        for (const QString& extension : extensions) values << extension;

    QString conflict;
    const bool queried = trap.step([&] {
        Recordset holders;
        holders.CursorLocation = adUseClient;
        holders.Open(ExtensionHolders::inScopeQuery(extensions.size()), values,
                     state.voiceServerConnection, adOpenKeyset, adLockReadOnly);
        if (holders.RecordCount() == 0) return;
        conflict =
            QStringLiteral("An attempted check in for room number ") + roomNumber +
            QStringLiteral(
                " failed due to a conflict with that extension in the database.  All objects "
                "found to be using that extension: ") +
            ExtensionHolders::describe(holders);
    });
    // Without an answer from the server nothing may be created.
    if (!queried) return false;
    // The same conflict is reported once: a room that cannot be checked in is
    // met again at every sweep (every minute) until someone frees the number.
    QHash<QString, QString>& reported = memory.reportedConflicts;
    if (!conflict.isEmpty()) {
        if (reported.value(roomNumber) == conflict) {
            debug(conflict);
        } else {
            reported.insert(roomNumber, conflict);
            ReportError(conflict);
        }
        return false;
    }
    reported.remove(roomNumber);

    const QString alias = strGenerateAlias(roomNumber);
    debug(QStringLiteral("New UID=") + alias + roomNumber);

    if (createGuest(alias, newGuest, state, memory)) {
        debug(QStringLiteral("Guest creation succeeded"));
        return true;
    }
    ReportError(QStringLiteral("Guest creation for room number ") + roomNumber + QStringLiteral(" failed"));
    return false;
}

namespace {

// What createGuest is given, as its later steps (and the finishing of an
// interrupted check-in) need it.
struct NewGuestFacts {
    QString alias, room, firstName, lastName, password;
    QStringList secondaryRooms;  // the non-empty ones, in order
};

// The password the guest is given: read from the settings key at each
// creation, so a change there counts from the next guest on.
QString passwordFor(ErrorTrap& trap, const NewGuestFacts& guest, const QString& templateAlias) {
    QString guestPassword = guest.password;
    trap.step([&] {
        if (readSetting(Setting::UseRoomNumberAsPassword, SettingsReader::Service).toInt() == 0) return;
        debugLine(guest.room, QStringLiteral("Administrator requested for the guest PW to always match the room number - "
                                             "forcing over ride.") +
                                  templateAlias);
        guestPassword = guest.room;
    });
    return guestPassword;
}

// The guest's own copy of the hotel's greeting, played by its standard rule.
void giveGreeting(ErrorTrap& trap, const ServiceState& state, const QString& room,
                  const QString& callHandler, const QString& subscriberAlias) {
    const QString greetingFile = subscriberAlias + QStringLiteral(".wav");
    const QString greeting = systemEnv().componentFolder() + QStringLiteral("/guestgreeting.wav");
    if (!QFileInfo(greeting).isFile()) {
        debugLine(room, QStringLiteral("No custom greeting file found, skipping modifying guest greeting"));
        return;
    }
    // A rule pointed at a file that could not be copied would play
    // nothing: then the template's greeting stays.
    if (!trap.step([&] { copyReplacing(greeting, state.settings.StreamFilesPath + greetingFile); })) return;
    trap.step([&] {
        if (!GreetingRule::playFile(state.voiceServerConnection, callHandler, greetingFile)) {
            ReportError(QStringLiteral("(error): could not find the standard greeting rule for new guest with alias=") +
                        subscriberAlias);
            return;
        }
        debugLine(room, QStringLiteral("Greeting set for new subscriber"));
    });
}

// The extensions the subscriber holds already (none for a new one).
QStringList extensionsOf(const QString& server, const QString& objectId) {
    QStringList held;
    Recordset rs;
    rs.Open(GuestDirectory::sql(GuestDirectory::Query::ExtensionsOfSubscriber), {objectId}, server,
            adOpenKeyset, adLockReadOnly);
    for (; !rs.IsEOF(); rs.MoveNext()) held << rs.Text(HotelGuest::extensionColumn());
    return held;
}

// Everything after the subscriber's creation: its password, greeting and
// alternate extensions (those it does not hold yet), the hotel-guest mark and
// the directory synchronisation. `created` is the subscriber's updatable row;
// true only when the synchronisation finished.
bool completeGuest(ErrorTrap& trap, Recordset& created, const NewGuestFacts& guest,
                   const QString& guestPassword, const QStringList& held, const ServiceState& state,
                   ServiceMemory& memory) {
    const auto debug = [&](const QString& text) { debugLine(guest.room, text); };
    const QString server = state.voiceServerConnection;

    if (guestPassword.isEmpty())
        trap.step([&] {
            created.SetValue(HotelGuest::column(GuestColumn::Password), nullText());
            created.Update();
        });
    if (state.settings.SkipPasswordFromRoom)
        trap.step([&] {
            created.SetValue(HotelGuest::column(GuestColumn::SkipPasswordOnKnownDevice), true);
            created.Update();
        });
    QString objectId, callHandler, subscriberAlias;
    trap.step([&] { objectId = created.Text(HotelGuest::column(GuestColumn::ObjectId)); });
    trap.step([&] { callHandler = created.Text(HotelGuest::column(GuestColumn::CallHandler)); });
    trap.step([&] { subscriberAlias = created.Text(HotelGuest::column(GuestColumn::Alias)); });
    giveGreeting(trap, state, guest.room, callHandler, subscriberAlias);

    debug(QStringLiteral("Call to sp_CreateSubscriber complete, editing record in SQL."));

    // One failing alternate extension does not keep the others from being added.
    for (const QString& secondary : guest.secondaryRooms) {
        if (held.contains(secondary)) continue;
        trap.step([&] {
            Command addAlternate(server, QStringLiteral("sp_AddAltDTMFID"));
            addAlternate.SetParameter(QStringLiteral("@strGUID"), objectId);
            addAlternate.SetParameter(QStringLiteral("@nParentObjType"), 1);
            addAlternate.SetParameter(QStringLiteral("@strAltID"), secondary);
            addAlternate.Execute();
        });
        debug(QStringLiteral("Adding alternate extension:") + secondary);
    }

    // Mark the guest a hotel guest and have the server synchronise it.
    Command modify(server, QStringLiteral("sp_ModifySubscriber"));
    QString ticket;
    trap.step([&] { modify.SetParameter(QStringLiteral("@SubscriberObjectID"), objectId); });
    trap.step([&] { created.Close(); });
    trap.step([&] {
        modify.SetParameter(QStringLiteral("@ConversationName"), GuestDirectory::conversation());
        modify.SetParameter(QStringLiteral("@DirectorySync"), 1);
        modify.SetParameter(QStringLiteral("@DirectorySyncFlags"), kDirectorySyncFlags);
        ticket = strGenerateGUID();
        modify.SetParameter(QStringLiteral("@DirectorySyncTicket"), ticket);
    });
    debug(QStringLiteral("Calling sp_ModifySubscriber"));
    Recordset modified;
    const bool modifyRan = trap.step([&] { modified = modify.Execute(adLockReadOnly); });
    if (modified.State() != adStateOpen || modified.IsEOF()) {
        ReportError(QStringLiteral("SubscriberCreate stored procedure failed when syncying to directory: ") +
                    (modifyRan ? QString() : trap.lastDescription()));
        return false;
    }

    debug(QStringLiteral("Call to directory sync done, waiting for sync to complete"));
    if (!bWaitForDirectorySync(ticket, server)) {
        ReportError(QStringLiteral("Syncronization process failed during room move. Check the Syncovar logs in the "
                                   "\\Corevane\\Logs directory"));
        return false;
    }
    debug(QStringLiteral("Directory sync complete"));
    forceContactRuleUpdate(server, callHandler, guest.room);
    debug(QStringLiteral("Contact rule update forced"));
    if (state.settings.SendWelcomeMessage) memory.colNewGuests.add(objectId, objectId);
    return true;
}

}  // namespace

bool createGuest(const QString& alias, const NewGuest& newGuest, ServiceState& state,
                 ServiceMemory& memory) {
    ErrorTrap trap("createGuest");
    const QString& roomNumber = newGuest.room;
    const QString& firstName = newGuest.firstName;
    const QString& lastName = newGuest.lastName;
    const auto debug = [&](const QString& text) { debugLine(roomNumber, text); };
    const QString templateAlias = state.settings.SubscriberTemplateAlias;
    const NewGuestFacts guest{alias, roomNumber, firstName, lastName, newGuest.password, nonEmpty(newGuest.secondaryRooms)};

    Command create(state.voiceServerConnection, QStringLiteral("sp_CreateSubscriber"));
    trap.step([&] {
        create.SetParameter(QStringLiteral("@Alias"), alias);
        create.SetParameter(QStringLiteral("@DtmfAccessId"), roomNumber);
        create.SetParameter(QStringLiteral("@templateAlias"), templateAlias);
        create.SetParameter(QStringLiteral("@SubscriberType"), 1);
        create.SetParameter(QStringLiteral("@Undeletable"), 0);
        create.SetParameter(QStringLiteral("@DisplayName"),
                            firstName + QLatin1Char(' ') + lastName + QStringLiteral(" - GUEST"));
        create.SetParameter(QStringLiteral("@Uid"), alias);
        create.SetParameter(QStringLiteral("@FirstName"), firstName);
        create.SetParameter(QStringLiteral("@LastName"), lastName);
    });

    const QString guestPassword = passwordFor(trap, guest, templateAlias);
    if (guestPassword.isEmpty())
        debug(QStringLiteral("PW is blank, forcing to blank for testing purposes") + templateAlias);
    else
        debug(QStringLiteral("password is set to '") + guestPassword + QLatin1Char('\''));

    trap.step([&] {
        // An empty text stays empty on its way (not NULL); the row is set to Null below.
        create.SetParameter(QStringLiteral("@PWDTMF"),
                            guestPassword.isEmpty() ? QVariant(QStringLiteral("")) : QVariant(guestPassword));
        create.SetParameter(QStringLiteral("@ListInDirectory"), false);
        create.SetParameter(QStringLiteral("@DirectorySync"), 0);
    });

    // Until it is synchronised, the new guest is noted: a service ended in
    // between finishes it at its next sweep, instead of leaving a mailbox
    // that is no hotel guest on the room's number.
    GuestActionNote note;
    note.kind = GuestActionNote::Kind::CheckIn;
    note.aliases = {alias};
    note.room = roomNumber;
    note.firstName = firstName;
    note.lastName = lastName;
    note.password = newGuest.password;
    note.secondaryRooms = guest.secondaryRooms;
    state.guestActions.note(note);

    debug(QStringLiteral("Calling sp_CreateSubscriber"));
    Recordset created;
    const bool createRan = trap.step([&] { created = create.Execute(adLockOptimistic); });
    bool complete = false;
    if (created.State() != adStateOpen || created.IsEOF())
        ReportError(QStringLiteral("SubscriberCreate stored procedure failed when creating new record: ") +
                    (createRan ? QString() : trap.lastDescription()));
    else
        complete = completeGuest(trap, created, guest, guestPassword, {}, state, memory);
    state.guestActions.forget();
    return complete;
}

bool FinishInterruptedCheckIn(const GuestActionNote& note, const ServiceState& state,
                              ServiceMemory& memory) {
    ErrorTrap trap("createGuest");
    const NewGuestFacts guest{note.aliases.value(0), note.room,     note.firstName,
                              note.lastName,         note.password, note.secondaryRooms};
    Recordset created;
    QStringList held;
    trap.step([&] {
        created.Open(GuestDirectory::sql(GuestDirectory::Query::SubscriberWithAlias), {guest.alias},
                     state.voiceServerConnection, adOpenKeyset, adLockOptimistic);
        if (!created.IsEOF())
            held = extensionsOf(state.voiceServerConnection,
                                created.Text(HotelGuest::column(GuestColumn::ObjectId)));
    });
    if (created.State() != adStateOpen) return false;
    // Ended before the creation: nothing was made, the sweep checks the guest in.
    if (created.IsEOF()) return true;
    const QString objectId = created.Text(HotelGuest::column(GuestColumn::ObjectId));
    if (completeGuest(trap, created, guest,
                      passwordFor(trap, guest, state.settings.SubscriberTemplateAlias), held, state,
                      memory))
        return true;
    // A hotel guest whose synchronisation did not finish in time is one, as
    // after any check-in: the sweep finds it and need not wait for it.
    QString reason, displayName, heldId, alias;
    return IsHotelGuest(state.voiceServerConnection, guest.room, reason, displayName, heldId,
                        alias) &&
           heldId == objectId;
}

}  // namespace modPMSFunctions
