#include "admin/core/guests/LampResync.h"

#include "admin/core/AdminState.h"
#include "admin/core/guests/GuestList.h"
#include "admin/core/localize/LanguageStrings.h"
#include "common/ErrorTrap.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/Lamps.h"
#include "common/PmsRoomTable.h"
#include "common/ServiceState.h"
#include "common/VoiceServerObjects.h"
#include "common/modPMSFunctions.h"
#include "platform/db/recordset.h"

using namespace platform::db;
using modLocalize::myLoadResString;

namespace {

// Writes the lamp state of every occupied room whose primary extension has a
// hotel guest's primary lamp: 1 lit, 0 dark. -1 when a side cannot be read.
int writeLampStates(const QString& voiceConnection, const QString& pmsConnection) {
    ErrorTrap trap("writeLampStates", "Module", "LampResync");
    const PmsRoomTable table(pmsConnection);
    Recordset rooms;
    trap.step([&] { table.readAll(rooms, adOpenKeyset, adLockReadOnly); });
    if (rooms.State() != adStateOpen) return -1;
    Recordset lamps;
    trap.step([&] {
        lamps.Open(GuestDirectory::sql(GuestDirectory::Query::PrimaryLamps), voiceConnection,
                   adOpenKeyset, adLockReadOnly);
    });
    if (lamps.State() != adStateOpen) return -1;
    int written = 0;
    trap.step([&] {
        rooms.SetFilter(PmsRoomTable::criteria(PmsRoomTable::Rows::Occupied));
        for (rooms.MoveFirst(); !rooms.IsEOF(); rooms.MoveNext()) {
            const QString extension = PmsRoomTable::text(rooms, PmsColumn::PrimaryExtension);
            lamps.MoveFirst();
            if (extension.trimmed().isEmpty() ||
                !lamps.FindEqual(HotelGuest::extensionColumn(), extension.trimmed()))
                continue;
            table.writeLamp(extension, GuestDirectory::lampState(lamps).toBool() ? 1 : 0);
            ++written;
        }
    });
    return written;
}

}  // namespace

std::shared_ptr<INotifier> administrationNotifier(AdminState& state) {
    if (!state.notifier)
        if (const std::shared_ptr<IServerObjects> locator = serverObjects()) state.notifier = locator->GetNotifier();
    return state.notifier;
}

LampResyncOutcome resynchroniseAllLamps(AdminState& admin, const QString& pmsConnection,
                                        const LampProgress& progress) {
    const QString& voiceConnection = admin.voiceServerConnection;
    LampResyncOutcome outcome;
    admin.writeLog(QStringLiteral("********************"), false);
    admin.logStep(QStringLiteral("Starting lamp resynchronisation for all hotel guests"));
    const std::shared_ptr<INotifier> notifier = administrationNotifier(admin);
    outcome.notifierFound = notifier != nullptr;
    if (!outcome.notifierFound) {
        admin.logStep(QStringLiteral(
            "    The server's lamp notifier could not be reached, lamp resynchronisation aborted"));
        return outcome;
    }
    const GuestList list = ReadGuestList(voiceConnection);
    outcome.guestsRead = list.status != GuestList::Status::Failed;
    if (!outcome.guestsRead) {
        admin.logStep(QStringLiteral(
            "    The hotel guests could not be read, lamp resynchronisation aborted"));
        return outcome;
    }
    std::vector<QString> checkedIn;
    for (const GuestRow& guest : list.rows)
        if (guest.checkedIn) checkedIn.push_back(guest.subscriberObjectId);
    const int total = int(checkedIn.size()) + 1;
    for (const QString& objectId : checkedIn) {
        modPMSFunctions::ForceMWISyncForGuest(notifier, objectId);
        ++outcome.guests;
        if (progress) progress(outcome.guests, total);
    }
    admin.logStep(
        QStringLiteral("    Lamps resynchronised for %1 hotel guests").arg(outcome.guests));
    const int written = writeLampStates(voiceConnection, pmsConnection);
    outcome.pmsRead = written >= 0;
    outcome.roomsWritten = std::max(written, 0);
    if (progress) progress(total, total);
    admin.logStep(
        outcome.pmsRead
            ? QStringLiteral("    Lamp states written for %1 occupied rooms of the PMS table")
                  .arg(written)
            : QStringLiteral("    The PMS table could not be read, no lamp state was written"));
    admin.writeLog(QString(), false);
    return outcome;
}

QString lampResyncReport(const LampResyncOutcome& outcome, const QString& pmsServerName) {
    if (!outcome.notifierFound) return myLoadResString(1186);
    if (!outcome.guestsRead) return myLoadResString(1176);
    const QString guests = myLoadResString(1177) + QString::number(outcome.guests);
    if (!outcome.pmsRead) return guests + QStringLiteral("\n\n") + myLoadResString(1179) + pmsServerName;
    return guests + QStringLiteral("\n") + myLoadResString(1178) + QString::number(outcome.roomsWritten);
}
