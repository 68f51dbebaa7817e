#pragma once
// The one place that reads the wall clock or sleeps. Everything else asks the
// current clock, so tests can replace it with a fake that never blocks.
#include <QDateTime>
#include <memory>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time, as the hotel's machine shows it.
    virtual QDateTime now() const = 0;
    virtual void sleepMs(int ms) = 0;
};

class RealClock : public Clock {
public:
    QDateTime now() const override;
    void sleepMs(int ms) override;
};

// A clock that stands still until it is told to move; sleeping moves it.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start);
    QDateTime now() const override { return m_now; }
    void sleepMs(int ms) override;
    void set(const QDateTime& when) { m_now = when; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }
    qint64 sleptMs() const { return m_slept; }

private:
    QDateTime m_now;
    qint64 m_slept = 0;
};

// The process-wide clock (a RealClock unless replaced).
Clock& clock();
// Replaces the process-wide clock; pass nullptr to return to the real one.
void setClock(std::shared_ptr<Clock> replacement);

// Installs a fake clock for the lifetime of the guard (tests).
class ScopedFakeClock {
public:
    explicit ScopedFakeClock(QDateTime start);
    ~ScopedFakeClock();
    FakeClock& operator*() { return *m_fake; }
    FakeClock* operator->() { return m_fake.get(); }

private:
    std::shared_ptr<FakeClock> m_fake;
};

}  // namespace platform
