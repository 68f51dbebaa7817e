#include "common/GuestAlias.h"

#include <QRegularExpression>

namespace {
constexpr qsizetype kLetters = 4;  // "ROOM"
}

const QString& GuestAlias::archivedPrefix() {
    static const QString prefix = QStringLiteral("OUT_ROOM");
    return prefix;
}

GuestAlias GuestAlias::forRoom(const QString& room, const QDateTime& when) {
    return GuestAlias(QStringLiteral("ROOM") + QString::number(secondsSince2000(when)) + QLatin1Char('_') + room);
}

qint64 GuestAlias::secondsSince2000(const QDateTime& when) {
    return QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC).secsTo(QDateTime(when.date(), when.time(), Qt::UTC));
}

bool GuestAlias::namesGuestGreeting(const QString& fileName) {
    static const QRegularExpression guestGreeting(QStringLiteral("^ROOM[0-9]+_[0-9A-Za-z]+\\.wav$"));
    return guestGreeting.match(fileName).hasMatch();
}

bool GuestAlias::isArchived() const { return m_text.left(4).compare(QLatin1String("OUT_"), Qt::CaseInsensitive) == 0; }

std::optional<QString> GuestAlias::secondsText() const {
    const qsizetype start = guestStart();
    const qsizetype underscore = m_text.indexOf(QLatin1Char('_'), start);
    if (underscore < start + kLetters) return std::nullopt;
    return m_text.mid(start + kLetters, underscore - start - kLetters);
}

std::optional<qint64> GuestAlias::seconds() const {
    const QString tail = m_text.mid(guestStart() + kLetters);
    qsizetype digits = 0;
    while (digits < tail.size() && tail.at(digits) >= QLatin1Char('0') && tail.at(digits) <= QLatin1Char('9')) ++digits;
    bool ok = false;
    const qint64 value = tail.left(digits).toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

QString GuestAlias::room() const {
    const qsizetype underscore = m_text.indexOf(QLatin1Char('_'), guestStart() + kLetters);
    return underscore < 0 ? QString() : m_text.mid(underscore + 1);
}
