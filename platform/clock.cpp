#include "platform/clock.h"

#include <QThread>

#include "platform/env.h"

namespace platform {

QDateTime RealClock::now() const { return QDateTime::currentDateTime(); }

void RealClock::sleepMs(int ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

Clock& clock() { return env().clock(); }

}  // namespace platform
