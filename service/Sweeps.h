#pragma once
// The periodic work the control's timers run.
#include <cstddef>

namespace modPMSFunctions {
// Freed memory the service keeps for the next sweep: what the sweeps of the
// largest hotels read at once.
inline constexpr std::size_t kSweepMemoryBytes = std::size_t(256) << 20;

void SweepForUpdates();
void SweepForMWIUpdatesToPMS();
void SweepForRoomDeletes();
void SweepForLogDeletes();
void SendWelcomeMessageToNewGuests();
}  // namespace modPMSFunctions
