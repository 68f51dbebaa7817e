#include "common/ErrorTrap.h"

#include "common/SystemEnv.h"
#include "common/modLogging.h"

QString ErrorTrap::message(int number, const QString& description) const {
    if (!m_kind)
        return QStringLiteral("(error):%1 (%2) in procedure %3")
            .arg(QString::number(number), description, QLatin1String(m_procedure));
    return QStringLiteral("(error):%1 (%2) in procedure %3 of %4 %5")
        .arg(QString::number(number), description, QLatin1String(m_procedure),
             QLatin1String(m_kind), QLatin1String(m_unit));
}

void ErrorTrap::report(int number, const QString& description) const {
    ++m_errors;
    m_lastDescription = description;
    ReportError(message(number, description));
}

void ReportError(const QString& text) {
    const ErrorTrap::Sink& sink = systemEnv().errorSink;
    if (sink)
        sink(text);
    else
        modLogging::LogServiceEvent(modLogging::EVENT_ERROR, modLogging::SEVERITY_ERROR, text, true);
}
