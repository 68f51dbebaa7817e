#pragma once
// A guest's phone password set anew on the voice-messaging server, as the
// guest view's Reset Password does it: asked for, checked, confirmed, written
// with sp_ModifySubscriber and logged in the administration log.
#include <QString>

class QWidget;

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
    Abandoned,  // blank, refused by a check, or not confirmed: nothing changed
    Failed,     // the server did not take it (the reason was shown and logged)
};

// The whole reset for the guest with that subscriber object id and display
// name: the input box, the checks, the confirmation, the server call, the log
// lines and the closing message, through the environment's prompt.
PasswordResetOutcome ResetGuestPassword(const QString& connection, const QString& subscriberObjectId,
                                        const QString& displayName, QWidget* parent = nullptr);

// Sets the password on the server; true when the server took it. Raises
// platform::Error when the call fails.
bool setGuestPassword(const QString& connection, const QString& subscriberObjectId, const QString& password);
