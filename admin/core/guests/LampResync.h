#pragma once
// Every checked-in hotel guest's lamps set anew from its mailbox, after an
// outage of the phone system has left them adrift: the server re-evaluates
// each guest's lamps, then every occupied room of the PMS table gets its lamp
// state written again (changed or not, so the gateway sends it to the phone
// once more). Archived guests are left alone: their lamps went out at their
// check-out, and their old room belongs to someone else by now.
#include <QString>
#include <functional>
#include <memory>

class INotifier;
struct AdminState;

struct LampResyncOutcome {
    bool notifierFound = false;  // false: the server's lamp notifier could not be reached (nothing was done)
    bool guestsRead = false;     // false: the server's guest list could not be read (nothing was done)
    int guests = 0;           // checked-in guests whose lamps the server re-evaluated
    bool pmsRead = false;     // false: the PMS table could not be read (no lamp state written)
    int roomsWritten = 0;     // occupied rooms whose lamp state was written
    bool complete() const { return notifierFound && guestsRead && pmsRead; }
};

// Called after each guest and once the PMS table is written: steps done of all.
using LampProgress = std::function<void(int done, int total)>;

// The resynchronisation on the administration's voice-messaging server and
// the PMS table at `pmsConnection`, logged in the administration log.
LampResyncOutcome resynchroniseAllLamps(AdminState& admin, const QString& pmsConnection,
                                        const LampProgress& progress = {});

// The texts that tell the outcome, in the current language.
QString lampResyncReport(const LampResyncOutcome& outcome, const QString& pmsServerName);

// The notifier the administration obtained at its start; a guest view
// started on its own (the word Guestview) obtains it here.
std::shared_ptr<INotifier> administrationNotifier(AdminState& admin);
