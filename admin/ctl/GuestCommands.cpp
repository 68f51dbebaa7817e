// stavioctl guests | password ROOM NEW | uncheckout ALIAS | lamps resync: the
// guest view's list and actions on the voice-messaging server.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "admin/core/AdminEnv.h"
#include "admin/core/AdminState.h"
#include "admin/core/guests/GuestList.h"
#include "admin/core/guests/GuestPassword.h"
#include "admin/core/guests/LampResync.h"
#include "admin/core/guests/Uncheckout.h"
#include "admin/core/guests/VoiceServerChoice.h"
#include "admin/core/localize/LanguageStrings.h"
#include "admin/ctl/CsvText.h"
#include "admin/ctl/CtlCommand.h"
#include "admin/ctl/TerminalPrompt.h"
#include "common/AdminLog.h"
#include "common/PMSConnection.h"
#include "common/VoxarenVersion.h"

namespace ctl {

namespace {

// What the guest actions tell goes to the terminal (TerminalPrompt: the
// outcome on standard output, a warning or an error on standard error).
void tellOnTerminal(const QString& text, Prompt::Kind kind) {
    prompt().message(text, nullptr, kind);
}

// Settles the voice-server connection as the guest view does; a server
// elsewhere is the stored one, since no window can ask for another.
bool connectVoiceServer(AdminState& state) {
    ReadVoxarenVersion();
    state.serverVersion = serverVersion();
    state.remote = state.serverVersion.Major == 0;
    return settleVoiceServerConnection(
               state, [] { return true; }, tellOnTerminal) == VoiceServerChoice::Ready;
}

// The administration log the guest actions write their steps to.
void startAdminLog(AdminState& state) {
    state.log = std::make_unique<AdminLog>(adminEnv().programFolder(),
                                           QStringLiteral("VoxarenStavioAdmin"));
    state.log->Start(state.serverVersion.Text);
}

// Reads the guests; nullopt (reported) when the server cannot give them.
std::optional<std::vector<GuestRow>> readGuests(const AdminState& state) {
    GuestList list = ReadGuestList(state.voiceServerConnection);
    if (list.status == GuestList::Status::Failed) return std::nullopt;
    return std::move(list.rows);
}

QString checkedInText(const GuestRow& g) { return g.checkedIn ? QStringLiteral("1") : QStringLiteral("0"); }

// The guests as one JSON array on one line, the columns' names as keys.
QByteArray jsonText(const std::vector<GuestRow>& guests, bool archived) {
    QJsonArray rows;
    for (const GuestRow& g : guests)
        if (g.checkedIn != archived)
            rows.append(QJsonObject{{QStringLiteral("CheckedIn"), g.checkedIn},
                                    {QStringLiteral("Extension"), g.extension},
                                    {QStringLiteral("FirstName"), g.firstName},
                                    {QStringLiteral("LastName"), g.lastName},
                                    {QStringLiteral("DisplayName"), g.displayName},
                                    {QStringLiteral("DateCheckedIn"), g.dateCheckedIn},
                                    {QStringLiteral("DateCheckedOut"), g.dateCheckedOut},
                                    {QStringLiteral("Alias"), g.alias}});
    return QJsonDocument(rows).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

int runGuests(const Arguments& arguments) {
    if (arguments.has("--csv") && arguments.has("--json"))
        return badUsage(QStringLiteral("guests"), QStringLiteral("--csv and --json exclude each other"));
    AdminState admin;
    if (!connectVoiceServer(admin)) return kRefused;
    const std::optional<std::vector<GuestRow>> guests = readGuests(admin);
    if (!guests) return refuse(QStringLiteral("the guest list could not be read"));
    const bool archived = arguments.has("--archived");
    const QStringList header{QStringLiteral("CheckedIn"),   QStringLiteral("Extension"),      QStringLiteral("FirstName"),
                             QStringLiteral("LastName"),    QStringLiteral("DisplayName"),    QStringLiteral("DateCheckedIn"),
                             QStringLiteral("DateCheckedOut"), QStringLiteral("Alias")};
    std::vector<QStringList> rows;
    for (const GuestRow& g : *guests)
        if (g.checkedIn != archived)
            rows.push_back({checkedInText(g), g.extension, g.firstName, g.lastName, g.displayName, g.dateCheckedIn,
                            g.dateCheckedOut, g.alias});
    if (arguments.has("--json"))
        outBytes(jsonText(*guests, archived));
    else
        out(arguments.has("--csv") ? csvText(header, rows) : alignedText(header, rows));
    return kSuccess;
}

int runPassword(const Arguments& arguments) {
    const QString room = arguments.positional[0];
    const QString password = arguments.positional[1];
    // A blank password is no password: the reset would end without a word.
    if (checkGuestPassword(password) == PasswordProblem::Blank) return refuse(modLocalize::myLoadResString(1108));
    AdminState admin;
    if (!connectVoiceServer(admin)) return kRefused;
    const std::optional<std::vector<GuestRow>> guests = readGuests(admin);
    if (!guests) return refuse(QStringLiteral("the guest list could not be read"));
    std::vector<const GuestRow*> inRoom;
    for (const GuestRow& g : *guests)
        if (g.checkedIn && g.extension == room) inRoom.push_back(&g);
    if (inRoom.empty()) return refuse(QStringLiteral("no checked-in guest in room %1").arg(room));
    if (inRoom.size() > 1) return refuse(QStringLiteral("room %1 has %2 checked-in guests").arg(room).arg(inRoom.size()));
    // The command line gives the password and, by being typed, confirms it.
    startAdminLog(admin);
    if (!passwordAcceptable(admin, password, tellOnTerminal)) return kRefused;
    const PasswordResetOutcome outcome =
        applyGuestPassword(admin, inRoom.front()->subscriberObjectId, password, tellOnTerminal);
    return outcome == PasswordResetOutcome::Updated ? kSuccess : kRefused;
}

int runUncheckout(const Arguments& arguments) {
    const QString alias = arguments.positional[0];
    const bool yes = arguments.has("--yes");
    if (!yes && !TerminalPrompt::interactive())
        return refuse(QStringLiteral("uncheckout asks questions, and standard input is no terminal: give --yes"));
    AdminState admin;
    if (!connectVoiceServer(admin)) return kRefused;
    const std::optional<std::vector<GuestRow>> guests = readGuests(admin);
    if (!guests) return refuse(QStringLiteral("the guest list could not be read"));
    const GuestRow* guest = nullptr;
    for (const GuestRow& g : *guests)
        if (g.alias.compare(alias, Qt::CaseInsensitive) == 0) guest = &g;
    if (!guest) return refuse(QStringLiteral("no hotel guest has the alias %1").arg(alias));
    startAdminLog(admin);
    const UncheckoutOutcome outcome =
        UncheckoutGuest(admin, guest->subscriberObjectId,
                        {[yes](const QString& text, const QString& title) {
                             return yes || prompt().okCancel(text, nullptr, title);
                         },
                         tellOnTerminal, nullptr, nullptr});
    return outcome == UncheckoutOutcome::Restored ? kSuccess : kRefused;
}

int runLamps(const Arguments& arguments) {
    if (arguments.positional[0] != QLatin1String("resync"))
        return badUsage(QStringLiteral("lamps"), {QStringLiteral("unknown lamps command '%1'").arg(arguments.positional[0]),
                                                  arguments.positional[0], {QStringLiteral("resync")}});
    AdminState admin;
    if (!connectVoiceServer(admin)) return kRefused;
    startAdminLog(admin);
    const QString pmsServer = storedPmsServer();
    // Progress on standard error, a line at each tenth of the way.
    int shownTenth = -1;
    const LampResyncOutcome outcome = resynchroniseAllLamps(
        admin, PMSConnectionString(pmsServer), [&shownTenth](int done, int total) {
            const int tenth = done * 10 / total;
            if (tenth == shownTenth) return;
            shownTenth = tenth;
            error(modLocalize::myLoadResString(1175) + QStringLiteral("%1 / %2").arg(done).arg(total));
        });
    const QString report = lampResyncReport(outcome, pmsServer);
    if (!outcome.complete()) return refuse(report);
    out(report + QLatin1Char('\n'));
    return kSuccess;
}

}  // namespace ctl
