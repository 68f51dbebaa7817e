#pragma once
// Date texts: the "general date" of the machine's regional settings (how every
// date is shown, logged and stored as a setting) and the fixed formats used in
// file names and aliases.
#include <QDateTime>
#include <QString>
#include <optional>

namespace platform::datefmt {

// The regional date and time patterns (QDateTime pattern syntax). The default
// is US English: 12/6/2026 7:05:09 AM.
struct RegionalFormat {
    QString datePattern = QStringLiteral("M/d/yyyy");
    QString timePattern = QStringLiteral("h:mm:ss AP");
};

// The regional format of env STAVIO_DATE_FORMAT ("DATEPATTERN|TIMEPATTERN",
// e.g. "d.M.yyyy|HH:mm:ss"), else US English.
RegionalFormat formatFromEnvironment();
// The regional format in force: the installed environment's.
RegionalFormat regionalFormat();

// The day a time-only value belongs to (a date value of zero).
QDate zeroDate();

// The general date text: the date alone at exactly midnight, the time alone
// for a time-only value (on the zero date), otherwise date and time.
QString generalDate(const QDateTime& value);

// Reads a general date text back: date and time, date alone or time alone
// (on the zero date). Leading and trailing blanks are ignored.
std::optional<QDateTime> parseGeneralDate(const QString& text);

// Seconds since midnight of the value's time of day.
int secondsOfDay(const QDateTime& value);

// Fixed formats.
QString yyyymmdd_hh_mm_ss(const QDateTime& value);    // 20261206_07_05_09
QString yymmdd_hh_mm_ss(const QDateTime& value);      // 261206_07_05_09
QString yyyymmddhhmmss(const QDateTime& value);       // 20261206070509
QString yyyy_mm_dd_hh_mm_ss(const QDateTime& value);  // 2026_12_06_07_05_09

}  // namespace platform::datefmt
