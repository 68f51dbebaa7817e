#pragma once
// Which voice-messaging server the guest view works on. On the server's own
// machine it is the local one; with the remote flag (no server here) it is
// the one stored as "RemoteConnectionString" while it answers, else the one
// the administrator chooses in the remote-connection window, which is then
// stored for later starts.
#include <QString>
#include <functional>

#include "admin/core/Prompt.h"

struct AdminState;

enum class VoiceServerChoice {
    Ready,             // the administration's voice-server connection is set
    NoServerSelected,  // "No Voxaren server selected." was shown: the program ends
    ServerNotValid,    // "Voxaren server selected was not valid." was shown: the program ends
    ProgramEnds,       // the remote-connection window ended the program itself
};

// Settles state.voiceServerConnection. `chooseRemoteServer` shows the
// remote-connection window modally (it leaves the chosen server's connection
// string in state.voiceServerConnection, or leaves it empty) and
// returns false when that window ends the program. Why the program ends is told.
VoiceServerChoice settleVoiceServerConnection(AdminState& state,
                                              const std::function<bool()>& chooseRemoteServer,
                                              const Tell& tell);

// Whether the server at `connection` answers: its locations can be read.
bool voiceServerAnswers(const QString& connection);
// Why it does not answer, in the database driver's words; "" when it does.
QString voiceServerProblem(const QString& connection);
