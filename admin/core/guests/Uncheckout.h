#pragma once
// Un-checkout: an archived guest (whose alias names its room, GuestAlias)
// restored into its room as the room's checked-in guest, with the same
// mailbox. When another hotel guest holds the room by now, the administrator
// may have that guest checked out first. Every step is written to the
// administration log; every question and message goes to the caller's hooks.
// While the Stavio service runs, the administrator is told first what it will
// do to the room (UncheckoutService.h).
#include <QString>
#include <functional>

#include "admin/core/Prompt.h"

struct AdminState;

enum class UncheckoutOutcome {
    Restored,
    InvalidSelection,      // no subscriber object id worth the name
    NotFound,              // no subscriber with that object id
    Ambiguous,             // more than one
    NotArchived,           // not an archived hotel guest
    Cancelled,             // the restore was not confirmed
    ServiceInTheWay,       // the running service would undo it: not confirmed, or it would not stop
    OccupantStays,         // the room's guest was not to be checked out
    OccupantNotCheckedOut, // the room's guest could not be checked out
    ModifyFailed,          // the server did not take the restored values
    SyncFailed,            // the directory did not synchronise
};

// What the caller shows while the work runs.
// A question of the un-checkout, with its title ("" for none), answered by
// whoever runs it: true to go on.
using UncheckoutQuestion = std::function<bool(const QString& text, const QString& title)>;

struct UncheckoutHooks {
    // Asks the administrator; none: every question is answered no.
    UncheckoutQuestion confirm;
    // Tells the administrator what became of it (and why it stopped).
    Tell tell;
    // The wait pointer on (true) or off (false); each may come more than once.
    std::function<void(bool busy)> setBusy;
    // The guest list read again, after a successful restore.
    std::function<void()> reloadGuests;
};

// The restore of the archived guest with that subscriber object id, on the
// administration's server, logged in its log. The caller disables its Un-Checkout button after it,
// whatever the outcome.
UncheckoutOutcome UncheckoutGuest(AdminState& admin, const QString& subscriberObjectId,
                                  const UncheckoutHooks& hooks);

// The display name of a restored guest: first name, a blank, last name, " - GUEST".
QString restoredDisplayName(const QString& firstName, const QString& lastName);
