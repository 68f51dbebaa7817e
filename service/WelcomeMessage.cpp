#include "service/WelcomeMessage.h"

#include <QFileInfo>
#include <memory>

#include "common/ErrorTrap.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/KeyedCollection.h"
#include "common/ServiceState.h"
#include "common/VoiceServerObjects.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "platform/db/recordset.h"
#include "service/Sweeps.h"

using namespace platform::db;
using namespace modLogging;

namespace modPMSFunctions {

namespace {

const QString kProfile = QStringLiteral("Voxaren System Profile");
const QString kSubject = QStringLiteral("Hotel Guest Welcome Message");
const QString kVoiceMessageClass = QStringLiteral("IPM.Note.Voice.Voxaren");
const QString kFileName = QStringLiteral("VoiceMessage.wav");
constexpr int kRecipientTo = 1;
constexpr int kFileData = 1;
constexpr int kBetweenMessagesMs = 1000;

const QString kAccountHint = QStringLiteral(
    "Be sure the Stavio service is assigned to the Message facing account and that the Voxaren system is functioning "
    "properly.");
const QString kNoProfile =
    QStringLiteral("(error): InsertWelcomeMessage could not open the Voxaren System Profile message profile.  ") +
    kAccountHint;
const QString kNoMessage = QStringLiteral(
                               "(error): InsertWelcomeMessage could not create a new message for the Voxaren System "
                               "Profile. ") +
                           kAccountHint;
const QString kNoAttachment = QStringLiteral(
                                  "(error): InsertWelcomeMessage could not add attachment to new message for the Voxaren "
                                  "System Profile message profile.  ") +
                              kAccountHint;

// The server's markers of a voice message and of its sound file.
const std::vector<MapiField> kVoiceMessageFields = {
    {0x7D00001E, kFileName}, {0x72090003, 2}, {0x7C08000B, true}, {0x72020003, 1}};
const std::vector<MapiField> kSoundFileFields = {
    {0x3707001E, kFileName}, {0x3703001E, QStringLiteral(".wav")}, {0x3001001E, QStringLiteral("VoiceMessage")}};

// A session logged on to the server's profile, or nothing.
std::unique_ptr<IMapiSession> logOn(ErrorTrap& trap) {
    std::unique_ptr<IMapiSession> session;
    bool loggedOn = false;
    trap.step([&] {
        const std::shared_ptr<IServerObjects> locator = serverObjects();
        if (locator) session = locator->CreateMapiSession();
        if (session) loggedOn = session->Logon(kProfile);
    });
    if (!loggedOn) session.reset();
    return session;
}

// A session logged on with a new message in its outbox, subject set; a
// failure is reported and leaves `message` null.
struct Outgoing {
    std::unique_ptr<IMapiSession> session;
    MapiMessage* message = nullptr;
};
Outgoing startMessage(ErrorTrap& trap) {
    Outgoing outgoing;
    outgoing.session = logOn(trap);
    if (!outgoing.session) {
        ReportError(kNoProfile);
        return outgoing;
    }
    trap.step([&] { outgoing.message = outgoing.session->AddOutboxMessage(); });
    if (!outgoing.message) {
        ReportError(kNoMessage);
        return outgoing;
    }
    outgoing.message->Subject = kSubject;
    return outgoing;
}

// Saves, sends and logs off, each step on its own.
void sendAndLogOff(ErrorTrap& trap, IMapiSession& session, MapiMessage& message) {
    trap.step([&] { session.Update(message); });
    trap.step([&] { session.Send(message, false); });
    trap.step([&] { session.Logoff(); });
}

}  // namespace

void InsertWelcomeMessage(const ServiceState& state, const QString& alias,
                          const QString& smtpAddress) {
    ErrorTrap trap("InsertWelcomeMessage", "Module", "modPMSFunctions");
    const QString wavFile = state.settings.WelcomeMessageWavFilePath;
    if (!QFileInfo(wavFile).isFile()) {
        ReportError(QStringLiteral("(error): InsertWelcomeMessage could not fine the selected welcme WAV file message.  "
                                   "Path=") +
                    wavFile);
        return;
    }
    const MapiRecipient recipient{alias, kRecipientTo, QStringLiteral("SMTP:") + smtpAddress.trimmed()};

    // A plain message first.
    {
        const Outgoing plain = startMessage(trap);
        if (!plain.message) return;
        plain.message->Recipients.push_back(recipient);
        sendAndLogOff(trap, *plain.session, *plain.message);
    }
    platform::clock().sleepMs(kBetweenMessagesMs);

    // Then the voice message with the sound file.
    const Outgoing voice = startMessage(trap);
    if (!voice.message) return;
    IMapiSession* session = voice.session.get();
    MapiMessage* message = voice.message;
    MapiAttachment* file = nullptr;
    trap.step([&] { file = session->AddAttachment(*message); });
    if (!file) {
        ReportError(kNoAttachment);
        return;
    }
    file->Type = kFileData;
    file->Position = 0;
    file->Name = kFileName;
    trap.step([&] { ReadAttachmentFromFile(*file, wavFile); });
    file->Fields.insert(file->Fields.end(), kSoundFileFields.begin(), kSoundFileFields.end());
    trap.step([&] { session->Update(*message); });
    message->Fields.insert(message->Fields.end(), kVoiceMessageFields.begin(), kVoiceMessageFields.end());
    message->Type = kVoiceMessageClass;
    message->Recipients.push_back(recipient);
    sendAndLogOff(trap, *session, *message);
}

void SendWelcomeMessageToNewGuests(const ServiceState& state, KeyedCollection& queue) {
    ErrorTrap trap("SendWelcomeMessageToNewGuests", "Module", "modPMSFunctions");
    if (queue.isEmpty()) return;

    const QString& mailAddress = HotelGuest::column(GuestColumn::MailAddress);
    // A copy of the queue as it stands: each guest once, in the order queued.
    for (const QString& objectId : queue.keys()) {
        Recordset guest;
        guest.CursorLocation = adUseClient;
        if (!trap.step([&] {
                guest.Open(GuestDirectory::sql(GuestDirectory::Query::WelcomeRecipient), {objectId},
                           state.voiceServerConnection, adOpenKeyset, adLockReadOnly);
            }))
            continue;  // the server did not answer: the guest waits for the next tick
        if (guest.RecordCount() != 1) {
            queue.remove(objectId);
            ReportError(QStringLiteral("(error): SendWelcomeMessageToNewguests function encountered error where "
                                       "SubscriberObjectID for new user would not be found in the vw_Subscriber view.  "
                                       "ObjectId=") +
                        objectId);
        } else if (!guest.IsNull(mailAddress)) {
            const QString alias = guest.Text(HotelGuest::column(GuestColumn::Alias));
            MyDiagnosticLog(QStringLiteral("Adding welcome message for new guest.  Alias=") + alias,
                            EVENT_CHECK_IN_DEBUG, guest.Text(HotelGuest::extensionColumn()),
                            QString(), true);
            InsertWelcomeMessage(state, alias, guest.Text(mailAddress));
            queue.remove(objectId);
        }
        // A guest without a mail address yet stays queued and is tried again next time.
        guest.Close();
    }
}

}  // namespace modPMSFunctions
