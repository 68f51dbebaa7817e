#include "platform/clock.h"

#include <QThread>

namespace platform {

QDateTime RealClock::now() const { return QDateTime::currentDateTime(); }

void RealClock::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

FakeClock::FakeClock(QDateTime start) : m_now(std::move(start)) {}

void FakeClock::sleepMs(int ms) {
    if (ms <= 0) return;
    m_now = m_now.addMSecs(ms);
    m_slept += ms;
}

namespace {
std::shared_ptr<Clock>& current() {
    static std::shared_ptr<Clock> instance = std::make_shared<RealClock>();
    return instance;
}
}  // namespace

Clock& clock() { return *current(); }

void setClock(std::shared_ptr<Clock> replacement) {
    current() = replacement ? std::move(replacement) : std::make_shared<RealClock>();
}

ScopedFakeClock::ScopedFakeClock(QDateTime start)
    : m_fake(std::make_shared<FakeClock>(std::move(start))) {
    setClock(m_fake);
}

ScopedFakeClock::~ScopedFakeClock() { setClock(nullptr); }

}  // namespace platform
