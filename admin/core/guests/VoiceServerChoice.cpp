#include "admin/core/guests/VoiceServerChoice.h"

#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "common/VoiceServerConnection.h"
#include "platform/db/recordset.h"

using namespace platform::db;

QString voiceServerProblem(const QString& connection) {
    if (connection.isEmpty()) return QStringLiteral("no server");
    try {
        Recordset locations;
        locations.Open(QStringLiteral("SELECT * FROM vw_Location"), connection, adOpenForwardOnly, adLockReadOnly);
        return locations.State() == adStateOpen ? QString() : QStringLiteral("its locations did not open");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

bool voiceServerAnswers(const QString& connection) { return voiceServerProblem(connection).isEmpty(); }

VoiceServerChoice settleVoiceServerConnection(AdminState& state,
                                              const std::function<bool()>& chooseRemoteServer,
                                              const Tell& tell) {
    if (!state.remote) {
        state.voiceServerConnection = kLocalVoiceServerConnection;
        return VoiceServerChoice::Ready;
    }
    QString stored;
    try {
        stored = readSetting(Setting::RemoteConnectionString, SettingsReader::Administration).toString();
    } catch (const std::exception&) {
    }
    state.voiceServerConnection = stored;
    if (!stored.isEmpty() && voiceServerAnswers(stored)) return VoiceServerChoice::Ready;
    // Nothing stored, or it no longer answers: the administrator chooses.
    state.voiceServerConnection.clear();
    if (!chooseRemoteServer()) return VoiceServerChoice::ProgramEnds;
    if (state.voiceServerConnection.isEmpty()) {
        tell(QStringLiteral("No Voxaren server selected."), Prompt::Kind::Warning);
        return VoiceServerChoice::NoServerSelected;
    }
    if (!voiceServerAnswers(state.voiceServerConnection)) {
        state.voiceServerConnection.clear();
        tell(QStringLiteral("Voxaren server selected was not valid."), Prompt::Kind::Error);
        return VoiceServerChoice::ServerNotValid;
    }
    try {
        RegistryAPI::CreateKey(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey));
        writeSetting(Setting::RemoteConnectionString, state.voiceServerConnection);
    } catch (const std::exception&) {
        // Not kept: the next start asks again.
    }
    return VoiceServerChoice::Ready;
}
