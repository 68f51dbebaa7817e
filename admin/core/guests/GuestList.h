#pragma once
// The hotel guests of the voice-messaging server as the guest view lists
// them: every hotel guest (GuestDirectory), checked-in guests and the
// archived mailboxes of guests who left, with the dates their aliases tell
// (GuestAlias); an archived guest's extension is the room followed by the
// 14-digit check-out stamp yyyymmddhhmmss.
#include <QDateTime>
#include <QString>
#include <vector>

#include "common/HotelGuest.h"

// One guest as the grid shows it: each cell's text.
struct GuestRow {
    bool checkedIn = false;
    QString extension;
    QString firstName;
    QString lastName;
    QString displayName;
    QString dateCheckedIn;   // general date, checked-in guests only
    QString dateCheckedOut;  // general date, archived guests only
    QDateTime dated;         // the date one of the two shows, as a date (for sorting)
    QString subscriberObjectId;
    QString alias;  // not shown: the subscriber's alias as the server has it
};

struct GuestList {
    enum class Status {
        Loaded,    // rows holds the guests
        NoGuests,  // the server has none
        Failed,    // the query failed (its error was reported)
    };
    Status status = Status::Failed;
    std::vector<GuestRow> rows;
};

// The query of the guest list, ordered by extension.
extern const QString& kGuestListQuery;

// Reads the guests from the server at `connection`. A field that cannot be
// read leaves its cell empty and the rest of the row is filled.
GuestList ReadGuestList(const QString& connection);

// One guest as the view shows it.
GuestRow guestRowFrom(const HotelGuest& guest);

// The local date and time N seconds after 1 January 2000 00:00, where N is
// the number that the leading numeric part of `text` spells (none: 0). The
// seconds count as the clock shows them, as in the aliases: a change to or
// from summer time does not count. The result is that wall-clock date and
// time, held in Qt::UTC so that no time zone moves it. An error is reported
// through the error trap and gives 1 January 2000.
QDateTime GetDateFromString(const QString& text);
