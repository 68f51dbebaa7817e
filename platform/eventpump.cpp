#include "platform/eventpump.h"

#include <QCoreApplication>

#include "platform/clock.h"

namespace platform {

void EventPump::operator()() {
    const qint64 now = clock().steadyMs();
    if (m_pumped && now - m_pumpedAtMs < m_intervalMs) return;
    m_pumped = true;
    m_pumpedAtMs = now;
    QCoreApplication::processEvents();
}

}  // namespace platform
