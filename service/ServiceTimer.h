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
class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<ServiceTimer> create(const QString& name, int intervalMs) override;
};
