#pragma once
// Welcome messages for new guests: check-in queues each new guest's object id
// (colNewGuests, held by the control) and the welcome tick hands every queued guest
// two messages through the server's messaging profile, a plain one and a
// voice message carrying the WAV file named by "Welcome Message WAV File Path".
#include <QString>

struct ServiceState;

namespace modPMSFunctions {

// Posts the two welcome messages to one guest; failures are reported, not raised.
void InsertWelcomeMessage(const ServiceState& state, const QString& alias,
                          const QString& smtpAddress);

}  // namespace modPMSFunctions
