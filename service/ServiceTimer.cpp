#include "service/ServiceTimer.h"

#include <QTimer>

namespace {

class QtServiceTimer : public ServiceTimer {
public:
    explicit QtServiceTimer(int intervalMs) {
        m_timer.setInterval(intervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (onTick) onTick();
        });
    }
    void setEnabled(bool on) override {
        if (on)
            m_timer.start();  // restarts the interval
        else
            m_timer.stop();
    }
    bool enabled() const override { return m_timer.isActive(); }
    int interval() const override { return m_timer.interval(); }

private:
    QTimer m_timer;
};

}  // namespace

std::unique_ptr<ServiceTimer> QtTimerFactory::create(const QString&, int intervalMs) {
    return std::make_unique<QtServiceTimer>(intervalMs);
}

class ManualTimerFactory::ManualTimer : public ServiceTimer {
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

std::unique_ptr<ServiceTimer> ManualTimerFactory::create(const QString& name, int intervalMs) {
    auto timer = std::make_unique<ManualTimer>(*this, name, intervalMs);
    m_timers[name] = timer.get();
    return timer;
}

bool ManualTimerFactory::fire(const QString& name) {
    auto it = m_timers.find(name);
    if (it == m_timers.end() || !it->second->enabled()) return false;
    if (it->second->onTick) it->second->onTick();
    return true;
}

void ManualTimerFactory::deliver(const QString& name) {
    auto it = m_timers.find(name);
    if (it != m_timers.end() && it->second->onTick) it->second->onTick();
}

bool ManualTimerFactory::enabled(const QString& name) const {
    auto it = m_timers.find(name);
    return it != m_timers.end() && it->second->enabled();
}

int ManualTimerFactory::interval(const QString& name) const {
    auto it = m_timers.find(name);
    return it == m_timers.end() ? 0 : it->second->interval();
}
