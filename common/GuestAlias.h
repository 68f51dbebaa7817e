#pragma once
// A guest's alias on the voice-messaging server, the one place that knows its
// two forms: a checked-in guest's "ROOM" + whole seconds since 1 January 2000
// + "_" + room, and an archived guest's "OUT_" + a fresh alias of the first
// form. The alias is the guest's only record of when it arrived or left and
// of its room, so every reader takes it apart here, the same way.
#include <QDateTime>
#include <QString>
#include <optional>

class GuestAlias {
public:
    // The text that begins every archived alias, as the archive's query selects it.
    static const QString& archivedPrefix();  // "OUT_ROOM"

    // A checked-in guest's alias for the room, made at `when` (local time).
    static GuestAlias forRoom(const QString& room, const QDateTime& when);
    // Whole seconds from 1 January 2000 00:00:00 to a local date and time, as
    // the calendar counts them (a change to or from summer time does not count).
    static qint64 secondsSince2000(const QDateTime& when);
    // Whether a file name is a guest's own greeting: its alias + ".wav".
    static bool namesGuestGreeting(const QString& fileName);

    explicit GuestAlias(QString text) : m_text(std::move(text)) {}
    const QString& text() const { return m_text; }

    // The archived form of this (fresh) alias.
    GuestAlias archived() const { return GuestAlias(QStringLiteral("OUT_") + m_text); }
    // "OUT_" at its start, in any case: the guest has checked out.
    bool isArchived() const;
    // An archived alias that holds a guest alias: "OUT_ROOM" at its start, in any case.
    bool isArchivedGuest() const { return m_text.startsWith(archivedPrefix(), Qt::CaseInsensitive); }
    // "ROOM" at its start, in any case.
    bool isGuest() const { return m_text.startsWith(QLatin1String("ROOM"), Qt::CaseInsensitive); }

    // The seconds as written: what follows the four letters of the guest
    // alias up to its first "_"; none when that "_" is missing or lies
    // within the four letters.
    std::optional<QString> secondsText() const;
    // The seconds as a number: the digits that follow the four letters. The
    // number of digits grows with the years (ten from September 2031), so
    // they are compared as a number, never as text. None when there are none.
    std::optional<qint64> seconds() const;
    // The room: what follows the first "_" after the four letters; "" when
    // there is none.
    QString room() const;

private:
    // Where the guest alias begins: after "OUT_" in an archived alias.
    qsizetype guestStart() const { return isArchived() ? 4 : 0; }

    QString m_text;
};
