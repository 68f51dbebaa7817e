#include "admin/core/guests/GuestList.h"

#include <cmath>

#include "common/ErrorTrap.h"
#include "common/GuestAlias.h"
#include "common/GuestDirectory.h"
#include "platform/datefmt.h"
#include "platform/db/recordset.h"

using namespace platform::db;

const QString& kGuestListQuery = GuestDirectory::sql(GuestDirectory::Query::GuestList);

namespace {

constexpr int kInvalidProcedureCall = 5;
constexpr int kStampLength = 14;  // yyyymmddhhmmss after an archived guest's room extension

// Wider than any date: the years 100 to 9999 lie well within.
constexpr double kMaxSeconds = 1e12;

// 1 January 2000 00:00 as the clock shows it: kept in UTC, so no time zone
// moves the seconds counted from it.
const QDateTime& baseDate() {
    static const QDateTime base(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    return base;
}

platform::Error invalidCall() {
    return platform::Error(kInvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
}

// The number a text begins with, as a basic language's Val reads it: blanks,
// tabs and line breaks are skipped anywhere, then an optional sign, digits,
// a fraction and an exponent; reading stops at the first other character.
double leadingNumber(const QString& text) {
    QString number;
    bool digits = false, point = false, exponent = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) continue;
        const QChar last = number.isEmpty() ? QChar() : number.back();
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            digits = true;
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && (number.isEmpty() || last == QLatin1Char('e'))) {
            number += c;
        } else if (c == QLatin1Char('.') && !point && !exponent) {
            number += c;
            point = true;
        } else if ((c.toLower() == QLatin1Char('e') || c.toLower() == QLatin1Char('d')) && digits && !exponent) {
            number += QLatin1Char('e');
            exponent = true;
        } else {
            break;
        }
    }
    // A dangling exponent or sign counts for nothing.
    while (!number.isEmpty() && !number.back().isDigit() && number.back() != QLatin1Char('.')) number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0;
}

// The date the alias's seconds spell, as the grid shows it; kept as a date in `dated`.
QString shownDate(const GuestAlias& alias, QDateTime& dated) {
    const std::optional<QString> seconds = alias.secondsText();
    if (!seconds) throw invalidCall();
    dated = GetDateFromString(*seconds);
    return platform::datefmt::generalDate(dated);
}

// Runs one step of a row; a failure leaves that cell empty.
template <class Step>
void quietly(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

QDateTime GetDateFromString(const QString& text) {
    ErrorTrap trap("GetDateFromString", "Form", "frmGuestView");
    QDateTime date = baseDate();
    trap.step([&] {
        const double seconds = std::trunc(leadingNumber(text));
        if (!(std::fabs(seconds) <= kMaxSeconds)) throw platform::Error(errnum::Overflow, QStringLiteral("Overflow"));
        const QDateTime counted = baseDate().addSecs(qint64(seconds));
        if (counted.date().year() < 100 || counted.date().year() > 9999) throw invalidCall();
        date = counted;
    });
    return date;
}

GuestRow guestRowFrom(const HotelGuest& guest) {
    const QString& alias = guest.alias;
    const QString extension = guest.extension.value_or(QString());
    GuestRow row;
    row.alias = alias;
    row.firstName = guest.firstName;
    row.lastName = guest.lastName;
    row.displayName = guest.displayName;
    row.subscriberObjectId = guest.objectId;
    const GuestAlias parts(alias);
    if (parts.isArchived()) {
        row.checkedIn = false;
        quietly([&] { row.dateCheckedOut = shownDate(parts, row.dated); });
        quietly([&] {
            if (extension.size() < kStampLength) throw invalidCall();
            row.extension = extension.left(extension.size() - kStampLength);
        });
    } else {
        row.checkedIn = true;
        quietly([&] { row.dateCheckedIn = shownDate(parts, row.dated); });
        row.extension = extension;
    }
    return row;
}

GuestList ReadGuestList(const QString& connection) {
    ErrorTrap trap("LoadGridInfo", "Form", "frmGuestView");
    GuestList list;
    Recordset rs;
    rs.CursorLocation = adUseClient;
    if (!trap.step([&] { rs.Open(kGuestListQuery, connection, adOpenStatic, adLockReadOnly); })) return list;
    if (rs.RecordCount() == 0) {
        list.status = GuestList::Status::NoGuests;
        return list;
    }
    list.rows.reserve(size_t(rs.RecordCount()));
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        list.rows.push_back(guestRowFrom(HotelGuest::fromCurrentRow(rs)));
    list.status = GuestList::Status::Loaded;
    return list;
}
