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
