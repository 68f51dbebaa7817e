#pragma once
// The control's timers, made through a factory so that tests can fire ticks
// by hand (tests/support/ManualTimers.h). Enabling a timer starts its interval anew, as switching a timer
// control on does.
#include <QString>
#include <functional>
#include <memory>

class ServiceTimer {
public:
    virtual ~ServiceTimer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual int interval() const = 0;
    std::function<void()> onTick;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<ServiceTimer> create(const QString& name, int intervalMs) = 0;
};

// Timers of the thread's event loop.
// Timers of the thread's event loop. A demonstration and test aid: the
// factor `scale` (env STAVIO_TIMER_SCALE, a positive number, default 1)
// multiplies every interval, so a demonstration can run a hotel's day in
// minutes. Nothing else scales: the waits the guest actions make stay as
// they are, and no installed unit carries the variable.
class QtTimerFactory : public TimerFactory {
public:
    explicit QtTimerFactory(double scale = scaleFromEnvironment());
    std::unique_ptr<ServiceTimer> create(const QString& name, int intervalMs) override;
    double scale() const { return m_scale; }

    // STAVIO_TIMER_SCALE when it is a positive number, else 1.
    static double scaleFromEnvironment();

private:
    double m_scale;
};
