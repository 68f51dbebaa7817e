#pragma once
// Whether this process has been asked to stop. The host's signal handler
// records the request the moment it arrives; a control still busy starting up
// (its thread cannot take the request as a call) reads it to give up early.
// It lives in the one shared library that the host and every plug-in load,
// since each plug-in carries its own copies of the static libraries.
#include <atomic>

namespace platform::com {

// The flag itself. A signal handler takes it once, outside the handler, and
// then only stores through it (lock-free, so safe in a handler).
std::atomic<bool>& stopRequestFlag();

bool stopRequested();
void requestStop();
// Forgets a request (tests that run several starts in one process).
void clearStopRequest();

}  // namespace platform::com
