#pragma once
// A clock that stands still until it is told to move; sleeping moves it, so
// waits of seconds cost no real time.
#include "platform/clock.h"

class FakeClock : public platform::Clock {
public:
    explicit FakeClock(QDateTime start) : m_now(std::move(start)), m_start(m_now) {}
    QDateTime now() const override { return m_now; }
    qint64 steadyMs() const override { return m_start.msecsTo(m_now); }
    void sleepMs(int ms) override {
        if (ms <= 0) return;
        m_now = m_now.addMSecs(ms);
        m_slept += ms;
    }
    void set(const QDateTime& when) { m_now = when; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }
    qint64 sleptMs() const { return m_slept; }

private:
    QDateTime m_now;
    const QDateTime m_start;
    qint64 m_slept = 0;
};
