#include "service/GuestUpdate.h"

#include "common/ServiceState.h"
#include "common/DirectoryRoutines.h"
#include "common/modLogging.h"
#include "platform/db/recordset.h"

using namespace platform::db;
using namespace modLogging;

namespace modPMSFunctions {

// A row the sweep could not take as it is, reported (as a warning) once a run.
void reportRowOnce(const QString& key, const QString& text) {
    QSet<QString>& reported = serviceState().reportedRowProblems;
    if (reported.contains(key)) return;
    reported.insert(key);
    LogServiceEvent(EVENT_ERROR, SEVERITY_WARNING, text, true);
}

// A guest's name from the row, as every part of the system takes it; an
// impossibly long one is reported.
QString nameOf(const PmsRoom& room, const QString& column) {
    const QString extension = room.extension();
    if (room.nameIsCut(column))
        reportRowOnce(QStringLiteral("name|") + extension + QLatin1Char('|') + column,
                      QStringLiteral("The %1 of the guest in room %2 is %3 characters long: the first %4 are used.")
                          .arg(column, extension)
                          .arg(room.text(column).size())
                          .arg(PmsRoom::kMaxNameLength));
    return column == QLatin1String("firstname") ? room.firstName() : room.lastName();
}

// The row's language as a number, or nothing (reported) when it is no number.
std::optional<qint32> languageOf(const PmsRoom& room) {
    const std::optional<qint32> language = room.language();
    if (!language && !room.isNull(QStringLiteral("Language"))) {
        const QString value = room.text(QStringLiteral("Language"));
        reportRowOnce(QStringLiteral("language|") + room.extension() + QLatin1Char('|') + value,
                      QStringLiteral("The language of room %1 is no number (%2): it is not used.")
                          .arg(room.extension(), value.left(40)));
    }
    return language;
}

void UpdateGuestFromRoom(Recordset& guests, const PmsRoom& room) {
    const QString extension = room.extension();
    MyDiagnosticLog(QStringLiteral("Updating subscriber in room: ") + extension, EVENT_ROOM_UPDATE, QString(), QString(), true);
    QString displayName;
    const bool hasFirst = !room.isNull(QStringLiteral("firstname"));
    const bool hasLast = !room.isNull(QStringLiteral("lastname"));
    const QString first = nameOf(room, QStringLiteral("firstname"));
    const QString last = nameOf(room, QStringLiteral("lastname"));
    guests.SetValue(QStringLiteral("FirstName"), hasFirst ? QVariant(first) : QVariant());
    if (hasFirst) displayName = first;
    guests.SetValue(QStringLiteral("LastName"), hasLast ? QVariant(last) : QVariant());
    if (hasLast) {
        if (!displayName.isEmpty()) displayName += QLatin1Char(' ');
        displayName += last;
    }
    guests.SetValue(QStringLiteral("DisplayName"), displayName);
    if (const std::optional<qint32> language = languageOf(room))
        guests.SetValue(QStringLiteral("Language"), lngGetLanguageLCID(*language));
    guests.Update();
}

void UpdateGuestOnRoom(const PmsRoom& room) {
    Recordset guests;
    guests.Open(QStringLiteral("Select * from vw_Subscriber WHERE ConversationName='ConvHotel' AND DTMFAccessID=?"),
                {room.extension()}, serviceState().voiceServerConnection, adOpenKeyset, adLockOptimistic);
    if (!guests.IsEOF()) UpdateGuestFromRoom(guests, room);
}

}  // namespace modPMSFunctions
