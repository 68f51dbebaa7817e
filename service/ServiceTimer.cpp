#include "service/ServiceTimer.h"
#include "platform/scm/supervision.h"

#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

class QtServiceTimer : public ServiceTimer {
public:
    explicit QtServiceTimer(int intervalMs) {
        // To the millisecond: a coarse timer may stray by 5% of its interval,
        // enough for a tick due later to overtake one due earlier (the welcome
        // tick of 2.75 s and the synchronisation tick of 3 s when scaled by
        // 0.05), and a synchronisation sweep re-arms every timer.
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(intervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            // A tick that comes is a service thread that goes on.
            platform::scm::reportProgress();
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

QtTimerFactory::QtTimerFactory(double scale) : m_scale(scale > 0 ? scale : 1.0) {}

double QtTimerFactory::scaleFromEnvironment() {
    bool ok = false;
    const double scale = qEnvironmentVariable("STAVIO_TIMER_SCALE").toDouble(&ok);
    return ok && scale > 0 && std::isfinite(scale) ? scale : 1.0;
}

std::unique_ptr<ServiceTimer> QtTimerFactory::create(const QString&, int intervalMs) {
    const double scaled = std::round(intervalMs * m_scale);
    return std::make_unique<QtServiceTimer>(int(std::clamp(scaled, 1.0, double(std::numeric_limits<int>::max()))));
}
