#pragma once
// Database links a thread may sit waiting on. A server that stops answering
// holds a read until the link's read time-out (a minute), and with it a stop.
// A stop that the service thread has not taken within a grace period shuts
// these links down: the waiting read fails at once, and no new link is
// opened until the stop request is cleared. It lives in the one shared
// library, beside the stop request, so that the host and every plug-in's
// copy of the data layer share one list.
#include <chrono>

namespace platform::com {

// A connected socket of a database link; removed before it is closed.
void addDatabaseLink(int socket);
void removeDatabaseLink(int socket);

// Shuts every link down once `grace` has passed, unless stopTakenInTime()
// comes first.
void cutDatabaseLinksAfter(std::chrono::milliseconds grace);
void stopTakenInTime();

// Whether the links were cut for a stop that did not come in time.
bool databaseLinksCut();

}  // namespace platform::com
