#include "common/ErrorTrap.h"

#include <mutex>

#include "common/modLogging.h"

namespace {
std::mutex sinkMutex;
ErrorTrap::Sink customSink;
}  // namespace

QString ErrorTrap::message(int number, const QString& description) const {
    return QStringLiteral("(error):%1 (%2) in procedure %3 of %4 %5")
        .arg(QString::number(number), description, QLatin1String(m_procedure),
             QLatin1String(m_kind), QLatin1String(m_unit));
}

void ErrorTrap::report(int number, const QString& description) const {
    ++m_errors;
    const QString text = message(number, description);
    Sink sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = customSink;
    }
    if (sink)
        sink(text);
    else
        modLogging::LogServiceEvent(modLogging::EVENT_ERROR, modLogging::SEVERITY_ERROR, text, true);
}

void ErrorTrap::setSink(Sink sink) {
    std::lock_guard lock(sinkMutex);
    customSink = std::move(sink);
}
