// The archive sweep: checked-out guests whose archive period is over are
// deleted, one per pass, each pass reading the archived guests afresh.
#include <QSet>
#include <optional>

#include "common/DirectoryRoutines.h"
#include "common/ErrorTrap.h"
#include "common/GuestAlias.h"
#include "common/GuestCheckOut.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "platform/db/recordset.h"
#include "platform/scm/supervision.h"
#include "service/Sweeps.h"

using namespace platform::db;
using namespace modLogging;

namespace modPMSFunctions {

namespace {

enum class PassOutcome { GuestHandled, NothingToDelete };

// One pass: the first due guest not yet tried in this run is deleted.
PassOutcome deleteFirstDueGuest(ErrorTrap& trap, const ServiceState& state,
                                QSet<QString>& triedThisRun) {
    Recordset archived;
    archived.CursorLocation = adUseClient;
    if (!trap.step([&] {
            archived.Open(GuestDirectory::sql(GuestDirectory::Query::ArchivedGuests), state.voiceServerConnection, adOpenKeyset, adLockReadOnly);
        }))
        return PassOutcome::NothingToDelete;  // reported; the next tick tries again
    if (archived.RecordCount() == 0) {
        DebugLog(EVENT_ROOM_DELETE_DEBUG, QStringLiteral("No checked out rooms found"));
        archived.Close();
        return PassOutcome::NothingToDelete;
    }

    const QDateTime cutOff = platform::clock().now().addDays(-state.settings.MailboxArchiveDays);
    const qint64 cutOffSeconds = GuestAlias::secondsSince2000(cutOff);
    for (archived.MoveFirst(); !archived.IsEOF(); archived.MoveNext()) {
        platform::scm::reportProgress();
        const HotelGuest guest = HotelGuest::fromCurrentRow(archived);
        const QString& alias = guest.alias;
        const std::optional<qint64> checkedOut = GuestAlias(alias).seconds();
        if (!checkedOut || *checkedOut > cutOffSeconds) continue;
        const QString& objectId = guest.objectId;
        // A guest whose deletion failed stays in the view: once per run is enough.
        if (triedThisRun.contains(objectId.toUpper())) continue;
        if (!guest.extension) {
            ReportError(QStringLiteral("Error encountered when deleting room during archive sweep.  Room number is NULL "
                                       "which is invalid.  Alias of room=") +
                        alias);
            continue;
        }

        const QString& room = *guest.extension;
        const QString& displayName = guest.displayName;
        archived.Close();
        triedThisRun.insert(objectId.toUpper());
        MyDiagnosticLog(QStringLiteral("Found room to delete during SweepForRoomDeletes - Alias=") + alias,
                        EVENT_ROOM_DELETE, room, QString(), true);
        if (DeleteGuest(state, objectId, room, alias, displayName)) {
            MyDiagnosticLog(QStringLiteral("Room deleted during archive sweep.  Alias=") + alias, EVENT_ROOM_DELETE, room,
                            QString(), true);
        } else {
            ReportError(QStringLiteral("Error encountered when deleting room during archive sweep.  Room number=") + room);
            MyDiagnosticLog(QStringLiteral("Error encountered when deleting room during archive sweep"), EVENT_ROOM_DELETE,
                            room, QString(), true);
        }
        return PassOutcome::GuestHandled;
    }
    archived.Close();
    DebugLog(EVENT_ROOM_DELETE, QStringLiteral("Archived rooms sweep complete"));
    return PassOutcome::NothingToDelete;
}

}  // namespace

void SweepForRoomDeletes(const ServiceState& state) {
    ErrorTrap trap("SweepForRoomDeletes", "Module", "modPMSFunctions");
    DebugLog(EVENT_ROOM_DELETE_DEBUG, QStringLiteral("Searching for archived rooms to delete"));
    QSet<QString> triedThisRun;
    PassOutcome outcome = PassOutcome::GuestHandled;
    while (outcome == PassOutcome::GuestHandled) {
        // An error the pass did not expect ends the run: the next tick starts anew.
        if (!trap.step([&] { outcome = deleteFirstDueGuest(trap, state, triedThisRun); })) break;
    }
}

}  // namespace modPMSFunctions
