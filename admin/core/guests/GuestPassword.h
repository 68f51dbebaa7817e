#pragma once
// A guest's phone password set anew on the voice-messaging server: checked,
// written with sp_ModifySubscriber and logged in the administration log. The
// asking and the confirming are the caller's (the guest view, stavioctl).
#include <QString>

#include "admin/core/Prompt.h"

struct AdminState;

enum class PasswordProblem {
    None,
    Blank,      // nothing entered (or the box cancelled)
    Length,     // not 3 to 10 characters
    NotDigits,  // a character other than 0-9
};

// What is wrong with a new phone password. A phone's keypad enters digits
// only, so every character must be one of 0-9 (no sign, blank or exponent).
PasswordProblem checkGuestPassword(const QString& password);

enum class PasswordResetOutcome {
    Updated,    // the server took the new password
    Failed,     // the server did not take it (the reason was shown and logged)
};

// Whether a password the administrator gave may be set; a blank one is
// logged, any other problem told as a warning.
bool passwordAcceptable(const AdminState& admin, const QString& password, const Tell& tell);

// Sets an acceptable password for the guest with that subscriber object id
// on the administration's server, once the administrator has confirmed it:
// the server call, its log lines and the closing message (told). Asks nothing.
PasswordResetOutcome applyGuestPassword(const AdminState& admin, const QString& subscriberObjectId,
                                        const QString& password, const Tell& tell);

// Sets the password on the server; true when the server took it. Raises
// platform::Error when the call fails.
bool setGuestPassword(const QString& connection, const QString& subscriberObjectId, const QString& password);
