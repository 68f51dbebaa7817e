#pragma once
// The periodic work the control's timers run.
#include <cstddef>

class KeyedCollection;
struct ServiceMemory;
struct ServiceState;

namespace modPMSFunctions {
// Freed memory the service keeps for the next sweep: what the sweeps of the
// largest hotels read at once.
inline constexpr std::size_t kSweepMemoryBytes = std::size_t(256) << 20;

void SweepForUpdates(ServiceState& state, ServiceMemory& memory);
void SweepForMWIUpdatesToPMS(const ServiceState& state);
void SweepForRoomDeletes(const ServiceState& state);
void SweepForLogDeletes(const ServiceState& state);
// Each guest of the queue (colNewGuests) whose mail address is known gets its
// welcome messages and leaves the queue.
void SendWelcomeMessageToNewGuests(const ServiceState& state, KeyedCollection& colNewGuests);
}  // namespace modPMSFunctions
