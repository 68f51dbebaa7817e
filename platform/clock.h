#pragma once
// The one place that reads the wall clock or sleeps. Everything else asks the
// environment's clock, so tests can give theirs a fake that never blocks.
#include <QDateTime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time, as the hotel's machine shows it.
    virtual QDateTime now() const = 0;
    // Milliseconds on a clock that only moves forward and ignores changes to
    // the time of day, from an arbitrary start: for measuring intervals.
    virtual qint64 steadyMs() const = 0;
    virtual void sleepMs(int ms) = 0;
};

class RealClock : public Clock {
public:
    QDateTime now() const override;
    qint64 steadyMs() const override;
    void sleepMs(int ms) override;
};

// The installed environment's clock.
Clock& clock();

}  // namespace platform
