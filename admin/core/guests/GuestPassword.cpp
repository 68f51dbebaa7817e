#include "admin/core/guests/GuestPassword.h"

#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "admin/core/localize/LanguageStrings.h"
#include "common/ErrorTrap.h"
#include "platform/db/command.h"

using modLocalize::myLoadResString;
using Kind = Prompt::Kind;

namespace {

constexpr int kShortest = 3;
constexpr int kLongest = 10;

}  // namespace

PasswordProblem checkGuestPassword(const QString& password) {
    if (password.isEmpty()) return PasswordProblem::Blank;
    if (password.size() < kShortest || password.size() > kLongest) return PasswordProblem::Length;
    for (const QChar c : password)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return PasswordProblem::NotDigits;
    return PasswordProblem::None;
}

bool setGuestPassword(const QString& connection, const QString& subscriberObjectId, const QString& password) {
    platform::db::Command modify(connection, QStringLiteral("sp_ModifySubscriber"));
    modify.SetParameter(QStringLiteral("@SubscriberObjectID"), subscriberObjectId);
    modify.SetParameter(QStringLiteral("@PWDTMF"), password);
    modify.SetParameter(QStringLiteral("@DirectorySync"), 0);
    // The procedure hands back the subscriber's row; none: no such subscriber.
    const platform::db::Recordset modified = modify.Execute();
    return modified.State() == platform::db::adStateOpen && modified.RecordCount() > 0;
}

bool passwordAcceptable(const AdminState& admin, const QString& password, const Tell& tell) {
    switch (checkGuestPassword(password)) {
        case PasswordProblem::Blank:
            admin.writeLog(QStringLiteral("    User entered a blank password, exiting"), true);
            return false;
        case PasswordProblem::Length:
            tell(myLoadResString(1108), Kind::Warning);
            return false;
        case PasswordProblem::NotDigits:
            tell(myLoadResString(1109), Kind::Warning);
            return false;
        case PasswordProblem::None:
            break;
    }
    return true;
}

PasswordResetOutcome applyGuestPassword(const AdminState& admin, const QString& subscriberObjectId,
                                        const QString& password, const Tell& tell) {
    ErrorTrap trap("cmdResetPassword_Click", "Form", "frmGuestView");
    admin.writeLog(QStringLiteral("********************"), false);
    admin.writeLog(QStringLiteral("Starting password reset process for subscriber with ObjectID=") +
                       subscriberObjectId,
                   true);
    bool updated = false;
    // A failing call shows the trap's error box; a call that finds no such
    // subscriber is told as such. Either way the password was not updated.
    if (trap.step([&] {
            updated = setGuestPassword(admin.voiceServerConnection, subscriberObjectId, password);
        }) &&
        !updated)
        tell(myLoadResString(1046), Kind::Error);
    if (!updated) {
        const QString reason = trap.lastDescription().isEmpty() ? myLoadResString(1046) : trap.lastDescription();
        admin.writeLog(QStringLiteral("    Password update failed: ") + reason, true);
        admin.writeLog(QString(), false);
        return PasswordResetOutcome::Failed;
    }
    admin.writeLog(QStringLiteral("    Password update completed"), true);
    admin.writeLog(QString(), false);
    tell(myLoadResString(1078), Kind::Information);
    return PasswordResetOutcome::Updated;
}
