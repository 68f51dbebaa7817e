#pragma once
// A busy hotel's diagnostic log for the benchmarks: the header the service
// writes, then entry lines as a day with "Debug Mode" on produces them.
#include <QByteArray>
#include <QDate>
#include <random>

// A day's log of at least `bytes` bytes (CR LF line ends), its lines drawn
// from `random` so that the same seed gives the same log.
QByteArray sampleDayOfLog(QDate day, qint64 bytes, std::mt19937& random);
