#include "platform/com/stoprequest.h"

namespace platform::com {

static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler stores this flag");

std::atomic<bool>& stopRequestFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}

bool stopRequested() { return stopRequestFlag().load(); }

void requestStop() { stopRequestFlag().store(true); }

void clearStopRequest() { stopRequestFlag().store(false); }

}  // namespace platform::com
