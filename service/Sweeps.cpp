#include "service/Sweeps.h"

namespace modPMSFunctions {
void SweepForRoomDeletes() {}            // the archive sweep arrives with its own change
void SweepForLogDeletes() {}             // the log sweep arrives with its own change
void SendWelcomeMessageToNewGuests() {}  // welcome messages arrive with their own change
}  // namespace modPMSFunctions
