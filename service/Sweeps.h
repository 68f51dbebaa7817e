#pragma once
// The periodic work the control's timers run.
#include <cstddef>

class KeyedCollection;
struct ServiceMemory;

namespace modPMSFunctions {
// Freed memory the service keeps for the next sweep: what the sweeps of the
// largest hotels read at once.
inline constexpr std::size_t kSweepMemoryBytes = std::size_t(256) << 20;

void SweepForUpdates(ServiceMemory& memory);
void SweepForMWIUpdatesToPMS();
void SweepForRoomDeletes();
void SweepForLogDeletes();
// Each guest of the queue (colNewGuests) whose mail address is known gets its
// welcome messages and leaves the queue.
void SendWelcomeMessageToNewGuests(KeyedCollection& colNewGuests);
}  // namespace modPMSFunctions
