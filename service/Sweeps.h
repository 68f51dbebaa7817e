#pragma once
// The periodic work the control's timers run.
namespace modPMSFunctions {
void SweepForUpdates();
void SweepForMWIUpdatesToPMS();
void SweepForRoomDeletes();
void SweepForLogDeletes();
void SendWelcomeMessageToNewGuests();
}  // namespace modPMSFunctions
