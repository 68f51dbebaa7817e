#pragma once
// The server's objects besides its database, as the system's programs obtain
// them through the object locator: the "Notifier" that drives a subscriber's
// message-waiting lamps, and "MAPI.Session" sessions that post messages into
// subscribers' mailboxes. Both work on the local server's tables
// (MessageStore.h) through the local connection string.
#include <memory>

#include "common/VoiceServerObjects.h"

namespace voxaren {

// The profile the server's own account logs on with; no other profile exists.
inline const QString kSystemProfile = QStringLiteral("Voxaren System Profile");

// The object locator of this machine's server.
std::shared_ptr<IServerObjects> serverObjects();

}  // namespace voxaren
