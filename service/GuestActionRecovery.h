#pragma once
// The sweep's first step: a guest action that an ended service left half
// done (noted by common/GuestActionJournal.h) is finished from wherever it
// stopped, then the flags of its PMS rows are cleared while the rows still
// hold what it acted on, and the note goes. Every finishing step looks at
// what the server holds first, so finishing twice changes nothing more.
struct ServiceMemory;
struct ServiceState;

namespace modPMSFunctions {

// False when a noted action could not be finished yet: the sweep then waits
// (it would do the action again), and the next one tries once more.
bool FinishInterruptedGuestAction(ServiceState& state, ServiceMemory& memory);

}  // namespace modPMSFunctions
