#pragma once
// Keeps a window responsive during long work on its own thread: the work
// calls the pump often, and the pump handles the program's pending events at
// the first call and then once an interval has passed since it last did.
// Handling them at every call would cost long work more than the work itself.
#include <QtGlobal>

namespace platform {

class EventPump {
public:
    static constexpr int kDefaultIntervalMs = 40;

    explicit EventPump(int intervalMs = kDefaultIntervalMs) : m_intervalMs(intervalMs) {}

    void operator()();

private:
    int m_intervalMs;
    bool m_pumped = false;
    qint64 m_pumpedAtMs = 0;
};

}  // namespace platform
