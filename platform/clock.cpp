#include "platform/clock.h"

#include <QThread>
#include <chrono>

#include "platform/env.h"

namespace platform {

QDateTime RealClock::now() const { return QDateTime::currentDateTime(); }

qint64 RealClock::steadyMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

Clock& clock() { return env().clock(); }

}  // namespace platform
