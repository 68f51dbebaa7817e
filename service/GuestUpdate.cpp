#include "service/GuestUpdate.h"

#include "common/DirectoryRoutines.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/PmsRoomTable.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "platform/db/recordset.h"
#include "service/ServiceMemory.h"

using namespace platform::db;
using namespace modLogging;

namespace modPMSFunctions {

// A row the sweep could not take as it is, reported (as a warning) once a run.
void reportRowOnce(ServiceMemory& memory, const QString& key, const QString& text) {
    QSet<QString>& reported = memory.reportedRowProblems;
    if (reported.contains(key)) return;
    reported.insert(key);
    LogServiceEvent(EVENT_ERROR, SEVERITY_WARNING, text, true);
}

// A guest's name from the row, as every part of the system takes it; an
// impossibly long one is reported.
QString nameOf(const PmsRoom& room, PmsColumn column, ServiceMemory& memory) {
    const QString extension = room.extension();
    const QString& columnName = PmsRoomTable::name(column);
    if (room.nameIsCut(column))
        reportRowOnce(
            memory, QStringLiteral("name|") + extension + QLatin1Char('|') + columnName,
            QStringLiteral(
                "The %1 of the guest in room %2 is %3 characters long: the first %4 are used.")
                .arg(columnName, extension)
                .arg(room.text(column).size())
                .arg(PmsRoom::kMaxNameLength));
    return room.name(column);
}

// The row's language as a number, or nothing (reported) when it is no number.
std::optional<qint32> languageOf(const PmsRoom& room, ServiceMemory& memory) {
    const std::optional<qint32> language = room.language();
    if (!language && !room.isNull(PmsColumn::Language)) {
        const QString value = room.text(PmsColumn::Language);
        reportRowOnce(memory,
                      QStringLiteral("language|") + room.extension() + QLatin1Char('|') + value,
                      QStringLiteral("The language of room %1 is no number (%2): it is not used.")
                          .arg(room.extension(), value.left(40)));
    }
    return language;
}

void UpdateGuestFromRoom(Recordset& guests, const PmsRoom& room, ServiceMemory& memory) {
    const QString extension = room.extension();
    MyDiagnosticLog(QStringLiteral("Updating subscriber in room: ") + extension, EVENT_ROOM_UPDATE, QString(), QString(), true);
    QString displayName;
    const bool hasFirst = !room.isNull(PmsColumn::FirstName);
    const bool hasLast = !room.isNull(PmsColumn::LastName);
    const QString first = nameOf(room, PmsColumn::FirstName, memory);
    const QString last = nameOf(room, PmsColumn::LastName, memory);
    guests.SetValue(HotelGuest::column(GuestColumn::FirstName),
                    hasFirst ? QVariant(first) : QVariant());
    if (hasFirst) displayName = first;
    guests.SetValue(HotelGuest::column(GuestColumn::LastName),
                    hasLast ? QVariant(last) : QVariant());
    if (hasLast) {
        if (!displayName.isEmpty()) displayName += QLatin1Char(' ');
        displayName += last;
    }
    guests.SetValue(HotelGuest::column(GuestColumn::DisplayName), displayName);
    if (const std::optional<qint32> language = languageOf(room, memory))
        guests.SetValue(HotelGuest::column(GuestColumn::Language), lngGetLanguageLCID(*language));
    guests.Update();
}

void UpdateGuestOnRoom(const PmsRoom& room, const ServiceState& state, ServiceMemory& memory) {
    Recordset guests;
    guests.Open(GuestDirectory::sql(GuestDirectory::Query::GuestOnExtension), {room.extension()},
                state.voiceServerConnection, adOpenKeyset, adLockOptimistic);
    if (!guests.IsEOF()) UpdateGuestFromRoom(guests, room, memory);
}

}  // namespace modPMSFunctions
