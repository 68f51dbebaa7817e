#include "platform/scm/supervision.h"

#include <systemd/sd-daemon.h>

#include <atomic>
#include <chrono>

namespace platform::scm {

void reportProgress() {
    static std::atomic<std::int64_t> lastSent{0};
    uint64_t watchdogUsec = 0;
    if (sd_watchdog_enabled(0, &watchdogUsec) <= 0) return;
    // A monotonic count, not the wall clock: only the spacing of the messages matters.
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    std::int64_t last = lastSent.load();
    if (now - last < 1000 || !lastSent.compare_exchange_strong(last, now)) return;
    sd_notify(0, "WATCHDOG=1");
}

void extendStartTimeout(int seconds, const QString& waitingFor) {
    const QByteArray message = "EXTEND_TIMEOUT_USEC=" + QByteArray::number(qint64(seconds) * 1000000) + "\nSTATUS=" +
                               waitingFor.simplified().toUtf8() + '\n';
    sd_notify(0, message.constData());
    reportProgress();
}

}  // namespace platform::scm
