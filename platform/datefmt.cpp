#include "platform/datefmt.h"

#include <QLocale>
#include <QStringList>

#include "platform/env.h"

namespace platform::datefmt {

RegionalFormat formatFromEnvironment() {
    RegionalFormat format;
    const QString spec = qEnvironmentVariable("STAVIO_DATE_FORMAT");
    const QStringList parts = spec.split(QLatin1Char('|'));
    if (parts.size() == 2 && !parts[0].trimmed().isEmpty() && !parts[1].trimmed().isEmpty()) {
        format.datePattern = parts[0].trimmed();
        format.timePattern = parts[1].trimmed();
    }
    return format;
}

namespace {

// Patterns always use the C locale so "AM"/"PM" and digits do not depend on
// the process locale.
QString format(const QDateTime& value, const QString& pattern) {
    return QLocale::c().toString(value, pattern);
}

// Accepts the time pattern as given and with seconds left out.
QStringList timePatterns(const RegionalFormat& f) {
    QStringList patterns{f.timePattern};
    QString withoutSeconds = f.timePattern;
    withoutSeconds.replace(QStringLiteral(":ss"), QString());
    if (withoutSeconds != f.timePattern) patterns << withoutSeconds;
    return patterns;
}

}  // namespace

RegionalFormat regionalFormat() { return env().regionalFormat(); }

QDate zeroDate() { return QDate(1899, 12, 30); }

QString generalDate(const QDateTime& value) {
    const RegionalFormat f = regionalFormat();
    // In whole seconds, as the text shows it: 00:00:00.5 is midnight too.
    const QTime time = value.time();
    const bool midnight = time.hour() == 0 && time.minute() == 0 && time.second() == 0;
    if (value.date() == zeroDate() && !midnight) return format(value, f.timePattern);
    if (midnight) return format(value, f.datePattern);
    return format(value, f.datePattern + QLatin1Char(' ') + f.timePattern);
}

std::optional<QDateTime> parseGeneralDate(const QString& text) {
    const QString t = text.simplified();
    if (t.isEmpty()) return std::nullopt;
    const RegionalFormat f = regionalFormat();
    const QLocale c = QLocale::c();
    for (const QString& tp : timePatterns(f)) {
        QDateTime dt = c.toDateTime(t, f.datePattern + QLatin1Char(' ') + tp);
        if (dt.isValid()) return dt;
        const QTime time = c.toTime(t, tp);
        if (time.isValid()) return QDateTime(zeroDate(), time);
    }
    const QDate date = c.toDate(t, f.datePattern);
    if (date.isValid()) return QDateTime(date, QTime(0, 0));
    return std::nullopt;
}

int secondsOfDay(const QDateTime& value) {
    const QTime t = value.time();
    return t.hour() * 3600 + t.minute() * 60 + t.second();
}

QString yyyymmdd_hh_mm_ss(const QDateTime& value) {
    return format(value, QStringLiteral("yyyyMMdd_HH_mm_ss"));
}
QString yymmdd_hh_mm_ss(const QDateTime& value) {
    return format(value, QStringLiteral("yyMMdd_HH_mm_ss"));
}
QString yyyymmddhhmmss(const QDateTime& value) {
    return format(value, QStringLiteral("yyyyMMddHHmmss"));
}
QString yyyy_mm_dd_hh_mm_ss(const QDateTime& value) {
    return format(value, QStringLiteral("yyyy_MM_dd_HH_mm_ss"));
}

}  // namespace platform::datefmt
