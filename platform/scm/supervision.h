#pragma once
// What a service tells systemd while it works, from whichever thread does the
// work: that it still makes progress (the watchdog's keep-alive, when the
// unit sets WatchdogSec=), and that its start needs longer than the unit's
// start time-out because it waits for something it names. Neither does
// anything outside systemd (no NOTIFY_SOCKET).
#include <QString>

namespace platform::scm {

// "WATCHDOG=1", at most once a second however often it is called: call it
// between steps and while waiting, so that a thread that hangs goes quiet.
void reportProgress();

// "EXTEND_TIMEOUT_USEC=" `seconds` from now and "STATUS=" `waitingFor`.
void extendStartTimeout(int seconds, const QString& waitingFor);

}  // namespace platform::scm
