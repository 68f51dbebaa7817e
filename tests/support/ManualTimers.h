#pragma once
// Timers that tick only when a test tells them to.
#include <map>

#include "service/ServiceTimer.h"

class ManualTimerFactory : public TimerFactory {
public:
    std::unique_ptr<ServiceTimer> create(const QString& name, int intervalMs) override {
        auto timer = std::make_unique<ManualTimer>(*this, name, intervalMs);
        m_timers[name] = timer.get();
        return timer;
    }
    // Ticks the named timer if it is enabled; returns whether it ticked.
    bool fire(const QString& name) {
        auto it = m_timers.find(name);
        if (it == m_timers.end() || !it->second->enabled()) return false;
        if (it->second->onTick) it->second->onTick();
        return true;
    }
    // Delivers a tick that was already queued when the timer was switched off:
    // the message loop hands it on all the same.
    void deliver(const QString& name) {
        auto it = m_timers.find(name);
        if (it != m_timers.end() && it->second->onTick) it->second->onTick();
    }
    bool enabled(const QString& name) const {
        auto it = m_timers.find(name);
        return it != m_timers.end() && it->second->enabled();
    }
    int interval(const QString& name) const {
        auto it = m_timers.find(name);
        return it == m_timers.end() ? 0 : it->second->interval();
    }

private:
    class ManualTimer : public ServiceTimer {
    public:
        ManualTimer(ManualTimerFactory& owner, QString name, int interval)
            : m_owner(owner), m_name(std::move(name)), m_interval(interval) {}
        ~ManualTimer() override { m_owner.m_timers.erase(m_name); }
        void setEnabled(bool on) override { m_enabled = on; }
        bool enabled() const override { return m_enabled; }
        int interval() const override { return m_interval; }

    private:
        ManualTimerFactory& m_owner;
        QString m_name;
        int m_interval;
        bool m_enabled = false;
    };

    std::map<QString, ManualTimer*> m_timers;
};
