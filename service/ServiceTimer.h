#pragma once
// The control's timers, made through a factory so that tests can fire ticks
// by hand. Enabling a timer starts its interval anew, as switching a timer
// control on does.
#include <QString>
#include <functional>
#include <map>
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

// Timers that tick only when told to (tests).
class ManualTimerFactory : public TimerFactory {
public:
    std::unique_ptr<ServiceTimer> create(const QString& name, int intervalMs) override;
    // Ticks the named timer if it is enabled; returns whether it ticked.
    bool fire(const QString& name);
    // Delivers a tick that was already queued when the timer was switched off:
    // the message loop hands it on all the same.
    void deliver(const QString& name);
    bool enabled(const QString& name) const;
    int interval(const QString& name) const;

private:
    class ManualTimer;
    std::map<QString, ManualTimer*> m_timers;
};
