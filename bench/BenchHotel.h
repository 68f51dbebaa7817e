#pragma once
// A hotel for the benchmarks, in its own folder: the voice-messaging server
// stand-in with `guests` hotel guests on rooms 20001.. (clear of the server's
// own numbers), the PMS table with `rooms` rooms, the first `occupied` of
// them occupied (and flagged when `flagged`), installed as the environment
// with a clock that does not really wait, and the service's state on them.
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "common/ServiceState.h"
#include "common/SystemEnv.h"
#include "tests/support/FakeClock.h"

class Hotel {
public:
    static constexpr int kFirstRoom = 20001;

    Hotel(int rooms, int occupied, int guests, bool flagged);
    ~Hotel();

    QTemporaryDir dir;
    SystemEnv env;
    ServiceState state;
    std::shared_ptr<FakeClock> clock;
    std::optional<platform::ScopedEnv> installed;
};
