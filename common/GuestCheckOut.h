#pragma once
// Check-out and deletion of a guest's mailbox on the voice-messaging server.
// A checked-out guest keeps its mailbox as an archive: the subscriber loses its
// room extensions and gets the archived form of a new guest alias, its primary
// extension becomes the room number followed by the check-out time
// (yyyymmddhhmmss) and its display name ends ": CHECKED OUT"; the archive
// sweep deletes it later. With no archive days the guest is deleted at once.
#include <QString>
#include <functional>

struct GuestActionNote;
struct ServiceState;

namespace modPMSFunctions {

// The service's: the guest's lamps off, then archived (or deleted when
// "Mailbox Archive Days" is 0). True when the guest was archived or deleted.
bool ActionCheckOut(ServiceState& state, const QString& subscriberObjectId, const QString& room,
                    const QString& alias, const QString& displayName);

// Finishes a check-out (or deletion) an ended service left half done, with
// the archive alias and extension it had noted. True when the guest is
// archived (or deleted, or gone); false when a step failed.
bool FinishInterruptedCheckOut(ServiceState& state, const GuestActionNote& note);

// Deletes the subscriber and waits for the directory synchronisation; true
// when both worked.
bool DeleteGuest(const ServiceState& state, const QString& subscriberObjectId, const QString& room,
                 const QString& alias, const QString& displayName);

// The administration's check-out of a room's occupant before an un-checkout:
// always archives, writes no log lines, leaves the lamps alone, and shows its
// failures to the user.
struct CheckOutFailureTexts {
    QString updateFailed;  // followed by the error's description (1103)
    QString syncFailed;    // followed by the error's description (1102)
    QString syncNotDone;   // the whole text (1111 + CR LF + 1125)
};
bool ActionCheckOut(const QString& connection, const QString& subscriberObjectId, const QString& room,
                    const QString& displayName, const CheckOutFailureTexts& texts,
                    const std::function<void(const QString&)>& show);

}  // namespace modPMSFunctions
