#include "audit/ReconciliationAudit.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <array>

#include "common/DirectoryRoutines.h"
#include "common/GuestAlias.h"
#include "common/GuestDirectory.h"
#include "common/HotelGuest.h"
#include "common/PmsRoomTable.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"

using namespace platform::db;

namespace audit {

namespace {


struct Room {
    QString extension1;
    QStringList secondary;             // the secondary extensions
    QString firstName;                 // NULL read as ""
    QString lastName;
    std::optional<qint32> language;
    bool occupied = false;
    QVariant unread;
};

struct Guest : HotelGuest {
    bool archived = false;

    QString name() const { return alias + QStringLiteral(" (") + displayName + QLatin1Char(')'); }
};

struct Holder {
    int guest;
    bool primary;
};

// Object ids are GUID texts, compared without regard to letter case.
QString idKey(const QString& objectId) { return objectId.toUpper(); }

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// What a failed read says, on one line.
QString oneLine(const QString& text) { return text.simplified(); }

// Rooms in the order a person reads them: numbers by their value.
bool roomLess(const QString& a, const QString& b) {
    static const auto numeric = [](const QString& s) {
        return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
    };
    if (numeric(a) && numeric(b) && a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

// A bit column as the databases give it: 0 and 1, or true and false.
bool bitValue(const QVariant& value) {
    bool numeric = false;
    const qlonglong n = value.toString().trimmed().toLongLong(&numeric);
    return numeric ? n != 0 : value.toBool();
}

class Audit {
public:
    explicit Audit(std::optional<int> archiveDays) : m_archiveDays(archiveDays) {}

    void readPms(const QString& connection);
    void readServer(const QString& connection);
    std::vector<Drift> compare() const;

    int roomCount() const { return int(m_rooms.size()); }
    int guestCount() const { return int(m_guests.size()); }

private:
    void checkRoom(const Room& room, std::vector<Drift>& drifts) const;
    void checkGuestAgainstRoom(const Room& room, const Guest& guest, std::vector<Drift>& drifts) const;
    void checkSharedExtensions(std::vector<Drift>& drifts) const;
    void checkGuest(const Guest& guest, std::vector<Drift>& drifts) const;
    void add(std::vector<Drift>& drifts, const QString& room, DriftKind kind, const QString& detail) const {
        drifts.push_back({room, kind, detail, m_roomByExtension1.contains(room)});
    }

    std::optional<int> m_archiveDays;
    std::vector<Room> m_rooms;
    QHash<QString, int> m_roomByExtension1;  // the first row of each primary extension
    QHash<QString, int> m_roomBySecondary;   // the first row with that extension among the secondary extensions
    std::vector<Guest> m_guests;
    QHash<QString, std::vector<int>> m_guestsByPrimary;  // in the order the server gave them
    QHash<QString, std::vector<Holder>> m_holders;       // every extension of a guest, by extension
    QStringList m_extensionOrder;                        // m_holders' keys as first met
    QHash<QString, bool> m_lampOn;                       // "MWI-1" of each subscriber, by object id
};

void Audit::readPms(const QString& connection) {
    Recordset rs;
    rs.CursorLocation = adUseClient;
    rs.Open(PmsRoomTable::auditQuery(), connection, adOpenStatic, adLockReadOnly);
    m_rooms.reserve(size_t(rs.RecordCount()));
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        // The room as the sweep reads it: names cut, a language that is no number not used.
        const PmsRoom pms = PmsRoom::fromCurrentRow(rs);
        Room room;
        room.extension1 = pms.extension();
        room.secondary = pms.secondaryExtensions();
        room.firstName = pms.firstName();
        room.lastName = pms.lastName();
        room.language = pms.language();
        room.occupied = pms.occupied();
        room.unread = PmsRoomTable::value(rs, PmsColumn::UnreadCount);
        m_rooms.push_back(std::move(room));
    }
    rs.Close();
    // The first row of an extension wins, as the sweep's searches find it.
    for (int i = 0; i < int(m_rooms.size()); ++i) {
        const Room& room = m_rooms[size_t(i)];
        if (!m_roomByExtension1.contains(room.extension1)) m_roomByExtension1.insert(room.extension1, i);
        for (const QString& extension : room.secondary)
            if (!extension.isEmpty() && !m_roomBySecondary.contains(extension)) m_roomBySecondary.insert(extension, i);
    }
}

void Audit::readServer(const QString& connection) {
    Recordset guests;
    guests.CursorLocation = adUseClient;
    guests.Open(GuestDirectory::sql(GuestDirectory::Query::AuditColumns), connection, adOpenStatic, adLockReadOnly);
    m_guests.reserve(size_t(guests.RecordCount()));
    QHash<QString, int> guestById;
    for (guests.MoveFirst(); !guests.IsEOF(); guests.MoveNext()) {
        HotelGuest read = HotelGuest::fromCurrentRow(guests);
        const bool archived = GuestAlias(read.alias).isArchivedGuest();
        Guest guest{std::move(read), archived};
        const int index = int(m_guests.size());
        guestById.insert(idKey(guest.objectId), index);
        if (guest.extension) m_guestsByPrimary[*guest.extension].push_back(index);
        m_guests.push_back(std::move(guest));
    }
    guests.Close();

    Recordset extensions;
    extensions.CursorLocation = adUseClient;
    extensions.Open(GuestDirectory::sql(GuestDirectory::Query::EveryExtension), connection,
                    adOpenStatic, adLockReadOnly);
    for (extensions.MoveFirst(); !extensions.IsEOF(); extensions.MoveNext()) {
        const GuestDirectory::HeldExtension held = GuestDirectory::heldExtension(extensions);
        const auto guest = guestById.constFind(idKey(held.holderId));
        if (guest == guestById.constEnd()) continue;  // not a hotel guest
        const QString& extension = held.extension;
        std::vector<Holder>& holders = m_holders[extension];
        if (holders.empty()) m_extensionOrder << extension;
        const bool primary = bitValue(held.primary);
        if (std::none_of(holders.begin(), holders.end(), [&](const Holder& h) { return h.guest == *guest; }))
            holders.push_back({*guest, primary});
    }
    extensions.Close();

    Recordset lamps;
    lamps.CursorLocation = adUseClient;
    lamps.Open(GuestDirectory::sql(GuestDirectory::Query::PrimaryLampHolders), connection,
               adOpenStatic, adLockReadOnly);
    for (lamps.MoveFirst(); !lamps.IsEOF(); lamps.MoveNext()) {
        const QString id = idKey(GuestDirectory::lampHolder(lamps));
        if (!m_lampOn.contains(id)) m_lampOn.insert(id, bitValue(GuestDirectory::lampState(lamps)));
    }
    lamps.Close();
}

void Audit::checkRoom(const Room& room, std::vector<Drift>& drifts) const {
    // The guest the sweep would find: the first whose primary extension is the room's.
    const auto found = m_guestsByPrimary.constFind(room.extension1);
    const std::vector<int> none;
    const std::vector<int>& guests = found == m_guestsByPrimary.constEnd() ? none : *found;
    if (room.occupied) {
        if (guests.empty()) {
            const QString name = (room.firstName + QLatin1Char(' ') + room.lastName).trimmed();
            add(drifts, room.extension1, DriftKind::OccupiedWithoutGuest,
                QStringLiteral("occupied in the PMS") + (name.isEmpty() ? QString() : QStringLiteral(" by ") + name) +
                    QStringLiteral(", but no guest mailbox has extension ") + room.extension1);
            return;
        }
        checkGuestAgainstRoom(room, m_guests[size_t(guests.front())], drifts);
        return;
    }
    QStringList holders;
    for (const int g : guests)
        if (!m_guests[size_t(g)].archived) holders << m_guests[size_t(g)].name();
    if (!holders.isEmpty())
        add(drifts, room.extension1, DriftKind::VacantWithGuest,
            QStringLiteral("vacant in the PMS, but guest ") + holders.join(QStringLiteral(", ")) +
                QStringLiteral(" still has extension ") + room.extension1);
}

void Audit::checkGuestAgainstRoom(const Room& room, const Guest& guest, std::vector<Drift>& drifts) const {
    QStringList differences;
    if (guest.firstName != room.firstName)
        differences << QStringLiteral("first name %1 on the server, %2 in the PMS")
                           .arg(quoted(guest.firstName), quoted(room.firstName));
    if (guest.lastName != room.lastName)
        differences << QStringLiteral("last name %1 on the server, %2 in the PMS")
                           .arg(quoted(guest.lastName), quoted(room.lastName));
    if (room.language) {
        const qint32 wanted = modPMSFunctions::lngGetLanguageLCID(*room.language);
        bool numeric = false;
        const qint32 held = guest.language.toString().trimmed().toInt(&numeric);
        if (guest.language.isNull() || !numeric || held != wanted)
            differences << QStringLiteral("language %1 on the server, %2 in the PMS (PMS language %3)")
                               .arg(guest.language.isNull() ? QStringLiteral("none") : guest.language.toString())
                               .arg(wanted)
                               .arg(*room.language);
    }
    if (!differences.isEmpty())
        add(drifts, room.extension1, DriftKind::GuestDiffers,
            QStringLiteral("guest ") + guest.alias + QStringLiteral(": ") + differences.join(QStringLiteral("; ")));

    const auto lamp = m_lampOn.constFind(idKey(guest.objectId));
    if (lamp == m_lampOn.constEnd()) {
        add(drifts, room.extension1, DriftKind::LampDiffers,
            QStringLiteral("guest ") + guest.alias + QStringLiteral(" has no lamp \"MWI-1\""));
        return;
    }
    bool numeric = false;
    const int unread = room.unread.toString().trimmed().toInt(&numeric);
    const bool agree = numeric && (*lamp ? unread == 1 : unread == 0);
    if (!agree)
        add(drifts, room.extension1, DriftKind::LampDiffers,
            QStringLiteral("lamp \"MWI-1\" of guest %1 is %2 on the server, %3 is %4 in the PMS")
                .arg(guest.alias, *lamp ? QStringLiteral("on") : QStringLiteral("off"),
                     PmsRoomTable::name(PmsColumn::UnreadCount),
                     room.unread.isNull() ? QStringLiteral("NULL") : room.unread.toString()));
}

void Audit::checkSharedExtensions(std::vector<Drift>& drifts) const {
    for (const QString& extension : m_extensionOrder) {
        const std::vector<Holder>& holders = m_holders.value(extension);
        if (holders.size() < 2) continue;
        QStringList names;
        for (const Holder& h : holders)
            names << m_guests[size_t(h.guest)].name() + (h.primary ? QStringLiteral(" as primary") : QStringLiteral(" as alternate"));
        names.sort();
        // Named by the room the extension belongs to.
        QString room = extension;
        if (!m_roomByExtension1.contains(extension) && m_roomBySecondary.contains(extension))
            room = m_rooms[size_t(m_roomBySecondary.value(extension))].extension1;
        add(drifts, room, DriftKind::SharedExtension,
            QStringLiteral("extension %1 is held by %2 guests: ").arg(extension).arg(holders.size()) +
                names.join(QStringLiteral(", ")));
    }
}

void Audit::checkGuest(const Guest& guest, std::vector<Drift>& drifts) const {
    if (guest.archived) {
        if (!m_archiveDays) return;
        const GuestAlias alias(guest.alias);
        const std::optional<qint64> seconds = alias.seconds();
        if (!seconds) return;  // no check-out time to go by: the archive sweep never deletes it either
        const QDateTime now = platform::clock().now();
        const qint64 cutOff = GuestAlias::secondsSince2000(now.addDays(-*m_archiveDays));
        if (*seconds > cutOff) return;
        const QDateTime calendar = QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC).addSecs(*seconds);
        const qint64 daysAgo = (GuestAlias::secondsSince2000(now) - *seconds) / 86400;
        add(drifts, alias.room(), DriftKind::ArchiveOverdue,
            QStringLiteral("archived guest %1 was checked out %2, %3 days ago; \"Mailbox Archive Days\" is %4")
                .arg(guest.name(), platform::datefmt::generalDate(QDateTime(calendar.date(), calendar.time())))
                .arg(daysAgo)
                .arg(*m_archiveDays));
        return;
    }
    if (!guest.extension || guest.extension->isEmpty()) {
        const GuestAlias alias(guest.alias);
        add(drifts, alias.isGuest() && alias.seconds() ? alias.room() : QString(), DriftKind::GuestWithoutRoom,
            QStringLiteral("guest ") + guest.name() + QStringLiteral(" has no extension"));
        return;
    }
    if (m_roomByExtension1.contains(*guest.extension)) return;
    QString detail = QStringLiteral("guest ") + guest.name() + QStringLiteral(" has extension ") + *guest.extension +
                     QStringLiteral(", which is no room's ") + PmsRoomTable::name(PmsColumn::PrimaryExtension);
    if (m_roomBySecondary.contains(*guest.extension))
        detail += QStringLiteral(" (it is a secondary extension of room ") +
                  m_rooms[size_t(m_roomBySecondary.value(*guest.extension))].extension1 + QLatin1Char(')');
    add(drifts, *guest.extension, DriftKind::GuestWithoutRoom, detail);
}

std::vector<Drift> Audit::compare() const {
    std::vector<Drift> drifts;
    QSet<QString> seen;
    for (const Room& room : m_rooms) {
        if (seen.contains(room.extension1)) continue;  // a second row of one extension: the sweep only sees the first
        seen.insert(room.extension1);
        checkRoom(room, drifts);
    }
    checkSharedExtensions(drifts);
    for (const Guest& guest : m_guests) checkGuest(guest, drifts);
    std::stable_sort(drifts.begin(), drifts.end(), [](const Drift& a, const Drift& b) {
        if (a.room != b.room) return roomLess(a.room, b.room);
        return a.kind < b.kind;
    });
    return drifts;
}

}  // namespace

QString driftName(DriftKind kind) {
    switch (kind) {
    case DriftKind::OccupiedWithoutGuest: return QStringLiteral("occupied-without-guest");
    case DriftKind::VacantWithGuest: return QStringLiteral("vacant-with-guest");
    case DriftKind::SharedExtension: return QStringLiteral("shared-extension");
    case DriftKind::GuestDiffers: return QStringLiteral("guest-differs");
    case DriftKind::LampDiffers: return QStringLiteral("lamp-differs");
    case DriftKind::ArchiveOverdue: return QStringLiteral("archive-overdue");
    case DriftKind::GuestWithoutRoom: return QStringLiteral("guest-without-room");
    }
    return QString();
}

AuditResult findDrifts(const QString& pmsConnection, const QString& serverConnection, std::optional<int> archiveDays) {
    AuditResult result;
    Audit audit(archiveDays);
    try {
        audit.readPms(pmsConnection);
    } catch (const platform::Error& e) {
        result.failure = oneLine(QStringLiteral("cannot read the PMS table: ") + e.description());
        return result;
    }
    try {
        audit.readServer(serverConnection);
    } catch (const platform::Error& e) {
        result.failure = oneLine(QStringLiteral("cannot read the voice-messaging server: ") + e.description());
        return result;
    }
    result.rooms = audit.roomCount();
    result.guests = audit.guestCount();
    result.drifts = audit.compare();
    return result;
}

std::vector<FlagOutcome> flagDriftedRooms(const QString& pmsConnection, const std::vector<Drift>& drifts) {
    std::vector<FlagOutcome> outcomes;
    QSet<QString> done;
    for (const Drift& drift : drifts) {
        if (done.contains(drift.room)) continue;
        done.insert(drift.room);
        if (!drift.roomHasRow) {
            outcomes.push_back({drift.room, FlagOutcome::NoRow, QString()});
            continue;
        }
        try {
            // Only a row whose flag is down: one that is up may be a move or
            // swap waiting for the sweep, and its partner must stay.
            const int changed = withReconnect(pmsConnection, [&](Attempt& attempt) {
                QSqlQuery update(database(pmsConnection));
                if (!update.prepare(PmsRoomTable::raiseFlagStatement()))
                    throw databaseError(update.lastError());
                update.addBindValue(1);
                update.addBindValue(QStringLiteral("0"));
                update.addBindValue(drift.room);
                attempt.changing();
                if (!update.exec()) throw databaseError(update.lastError());
                return update.numRowsAffected();
            });
            outcomes.push_back({drift.room, changed > 0 ? FlagOutcome::Flagged : FlagOutcome::AlreadyFlagged, QString()});
        } catch (const platform::Error& e) {
            outcomes.push_back({drift.room, FlagOutcome::Failed, oneLine(e.description())});
        }
    }
    return outcomes;
}

}  // namespace audit
