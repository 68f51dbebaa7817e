#include "sim/ptce/GatewayTable.h"

#include <QSet>
#include <QSqlError>

#include "platform/db/connection.h"

namespace ptce {

namespace {

const QString kSelect = QStringLiteral(
    "SELECT id, roomno, otherroomno, Extension1, Extension2, Extension3, Extension4, Extension5, "
    "firstname, lastname, Language, Password, OccStatus, upd_by_ptce, upd_by_vms, UnreadMsgCount "
    "FROM vmstable");

// Same columns on both backends; only the key and the table options differ.
const QString kColumnsAfterId = QStringLiteral(
    "roomno VARCHAR(20) NOT NULL, "
    "otherroomno VARCHAR(20) NOT NULL DEFAULT '0', "
    "Extension1 VARCHAR(20) NOT NULL, "
    "Extension2 VARCHAR(20) NULL DEFAULT '', "
    "Extension3 VARCHAR(20) NULL DEFAULT '', "
    "Extension4 VARCHAR(20) NULL DEFAULT '', "
    "Extension5 VARCHAR(20) NULL DEFAULT '', "
    "firstname VARCHAR(64) NULL, "
    "lastname VARCHAR(64) NULL, "
    "Language INT NULL, "
    "Password VARCHAR(20) NULL, "
    "OccStatus CHAR(1) NOT NULL DEFAULT '0', "
    "upd_by_ptce INT NOT NULL DEFAULT 0, "
    "upd_by_vms INT NOT NULL DEFAULT 0, "
    "UnreadMsgCount INT NOT NULL DEFAULT 0");

const QLatin1String kSecondaryExtensions[4] = {
    QLatin1String("Extension2"), QLatin1String("Extension3"), QLatin1String("Extension4"),
    QLatin1String("Extension5")};

QVariant nullText() {
    return QVariant(QMetaType::fromType<QString>());
}
QVariant nullInt() {
    return QVariant(QMetaType::fromType<int>());
}

// Empty text must reach the table as '' and never turn into NULL.
QVariant text(const QString& value) {
    return QVariant(value.isNull() ? QStringLiteral("") : value);
}
QVariant text(const std::optional<QString>& value) {
    return value ? text(*value) : nullText();
}

std::optional<QString> optionalText(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toString();
}

RoomRow readRow(const QSqlQuery& q) {
    RoomRow row;
    row.roomno = q.value(1).toString();
    row.otherroomno = q.value(2).toString();
    for (int i = 0; i < 5; ++i) row.extensions[size_t(i)] = optionalText(q.value(3 + i));
    row.guest.firstName = optionalText(q.value(8));
    row.guest.lastName = optionalText(q.value(9));
    if (!q.value(10).isNull()) row.guest.language = q.value(10).toInt();
    row.guest.password = optionalText(q.value(11));
    row.occStatus = q.value(12).toString();
    row.updByPtce = q.value(13).toInt();
    row.updByVms = q.value(14).toInt();
    row.unreadMsgCount = q.value(15).toInt();
    return row;
}

}  // namespace

Refused::Refused(const QString& why) : platform::Error(platform::db::errors::BadArguments, why) {}

GatewayTable::GatewayTable(QString connectionString)
    : m_connectionString(std::move(connectionString)) {}

QSqlDatabase& GatewayTable::db(bool create) {
    if (!m_db.isOpen()) {
        m_prepared.clear();
        try {
            m_db = platform::db::database(m_connectionString, create);
        } catch (const platform::Error& e) {
            throw platform::Error(
                e.number(), QStringLiteral("cannot open the PMS database: ") + e.description());
        }
    }
    return m_db;
}

QSqlQuery& GatewayTable::run(const QString& sql, const QVariantList& values) {
    QSqlDatabase& database = db();
    auto it = m_prepared.find(sql);
    if (it == m_prepared.end()) {
        QSqlQuery query(database);
        query.setForwardOnly(true);
        if (!query.prepare(sql)) throw platform::db::databaseError(query.lastError());
        it = m_prepared.emplace(sql, std::move(query)).first;
    }
    QSqlQuery& query = it->second;
    for (int i = 0; i < values.size(); ++i) query.bindValue(i, values[i]);
    if (!query.exec()) throw platform::db::databaseError(query.lastError());
    return query;
}

void GatewayTable::statement(const QString& sql) {
    QSqlQuery query(db());
    if (!query.exec(sql)) throw platform::db::databaseError(query.lastError());
}

void GatewayTable::ensureTable() {
    if (platform::db::isMySql(db(true))) {
        statement(QStringLiteral(
                      "CREATE TABLE IF NOT EXISTS vmstable (id INT AUTO_INCREMENT PRIMARY KEY, ") +
                  kColumnsAfterId +
                  QStringLiteral(
                      ", KEY vmstable_roomno (roomno)) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4"));
        return;
    }
    // WAL lets the service read while the gateway writes.
    statement(QStringLiteral("PRAGMA journal_mode=WAL"));
    statement(QStringLiteral(
                  "CREATE TABLE IF NOT EXISTS vmstable (id INTEGER PRIMARY KEY AUTOINCREMENT, ") +
              kColumnsAfterId + QStringLiteral(")"));
    statement(QStringLiteral("CREATE INDEX IF NOT EXISTS vmstable_roomno ON vmstable (roomno)"));
}

void GatewayTable::transaction(const std::function<void()>& work) {
    if (m_depth > 0) {
        work();
        return;
    }
    // IMMEDIATE takes SQLite's write lock up front, so a transaction that
    // reads before it writes cannot fail halfway when the service writes too.
    statement(platform::db::isMySql(db()) ? QStringLiteral("START TRANSACTION")
                                          : QStringLiteral("BEGIN IMMEDIATE"));
    m_depth = 1;
    try {
        work();
    } catch (...) {
        m_depth = 0;
        for (auto& entry : m_prepared) entry.second.finish();
        QSqlQuery rollback(db());
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    m_depth = 0;
    statement(QStringLiteral("COMMIT"));
}

GatewayTable::Located GatewayTable::locate(const QString& room) {
    // Inside a transaction MariaDB locks the row until the change is written.
    const bool lock = m_depth > 0 && platform::db::isMySql(db());
    QSqlQuery& q =
        run(kSelect + (lock ? QStringLiteral(" WHERE roomno = ? ORDER BY id LIMIT 1 FOR UPDATE")
                            : QStringLiteral(" WHERE roomno = ? ORDER BY id LIMIT 1")),
            {room});
    if (!q.next()) {
        q.finish();
        throw Refused(QStringLiteral("room %1 is not in vmstable").arg(room));
    }
    Located found{q.value(0).toLongLong(), readRow(q)};
    q.finish();
    return found;
}

GatewayTable::Located GatewayTable::locateOccupied(const QString& room, const char* what) {
    Located found = locate(room);
    if (!found.row.occupied())
        throw Refused(
            QStringLiteral("cannot %1 room %2: it is vacant").arg(QLatin1String(what), room));
    return found;
}

void GatewayTable::update(qlonglong id, const Assignments& set) {
    QString sql = QStringLiteral("UPDATE vmstable SET ");
    QVariantList values;
    for (const auto& [column, value] : set) {
        sql += column + QStringLiteral(" = ?, ");
        values << value;
    }
    sql += QStringLiteral("upd_by_ptce = ? WHERE id = ?");
    values << 1 << id;
    run(sql, values);
}

int GatewayTable::init(int firstRoom, int lastRoom) {
    QStringList rooms;
    // Counted in 64 bits: a range that ends at the largest int must end.
    for (qint64 room = firstRoom; room <= lastRoom; ++room) rooms << QString::number(room);
    return addRooms(rooms);
}

int GatewayTable::addRooms(const QStringList& rooms) {
    ensureTable();
    int added = 0;
    transaction([&] {
        QSet<QString> existing;
        QSqlQuery& q = run(QStringLiteral("SELECT roomno FROM vmstable"), {});
        while (q.next()) existing.insert(q.value(0).toString());
        q.finish();
        QStringList missing;
        for (const QString& room : rooms)
            if (!existing.contains(room)) {
                existing.insert(room);
                missing << room;
            }
        // Many rows per statement: a hotel of ten thousand rooms is a few
        // dozen round trips to MariaDB rather than ten thousand.
        constexpr qsizetype kRowsPerInsert = 250;
        for (qsizetype start = 0; start < missing.size(); start += kRowsPerInsert) {
            const QStringList batch = missing.mid(start, kRowsPerInsert);
            QString sql = QStringLiteral(
                "INSERT INTO vmstable (roomno, otherroomno, Extension1, OccStatus, "
                "upd_by_ptce, upd_by_vms, UnreadMsgCount) VALUES ");
            QVariantList values;
            for (const QString& room : batch) {
                sql += values.isEmpty() ? QStringLiteral("(?, ?, ?, ?, ?, ?, ?)")
                                        : QStringLiteral(", (?, ?, ?, ?, ?, ?, ?)");
                values << room << QStringLiteral("0") << room << QStringLiteral("0") << 0 << 0 << 0;
            }
            run(sql, values);
            added += int(batch.size());
        }
    });
    return added;
}

void GatewayTable::checkIn(const QString& room, const CheckIn& guest) {
    transaction([&] {
        const Located found = locate(room);
        Assignments set{{QLatin1String("OccStatus"), QStringLiteral("1")},
                        {QLatin1String("firstname"), text(guest.firstName)},
                        {QLatin1String("lastname"), text(guest.lastName)},
                        {QLatin1String("Language"), guest.language},
                        {QLatin1String("Password"), text(guest.password)},
                        {QLatin1String("otherroomno"), QStringLiteral("0")}};
        for (size_t i = 0; i < guest.extensions.size(); ++i)
            if (guest.extensions[i])
                set.emplace_back(kSecondaryExtensions[i], text(*guest.extensions[i]));
        update(found.id, set);
    });
}

namespace {

using Assignments = std::vector<std::pair<QLatin1String, QVariant>>;

Assignments vacate(const QString& otherRoom) {
    return {{QLatin1String("OccStatus"), QStringLiteral("0")},
            {QLatin1String("firstname"), nullText()},
            {QLatin1String("lastname"), nullText()},
            {QLatin1String("Language"), nullInt()},
            {QLatin1String("Password"), nullText()},
            {QLatin1String("otherroomno"), otherRoom}};
}

Assignments occupy(const Guest& guest, const QString& otherRoom) {
    return {{QLatin1String("OccStatus"), QStringLiteral("1")},
            {QLatin1String("firstname"), text(guest.firstName)},
            {QLatin1String("lastname"), text(guest.lastName)},
            {QLatin1String("Language"), guest.language ? QVariant(*guest.language) : nullInt()},
            {QLatin1String("Password"), text(guest.password)},
            {QLatin1String("otherroomno"), otherRoom}};
}

}  // namespace

void GatewayTable::checkOut(const QString& room) {
    transaction([&] { update(locate(room).id, vacate(QStringLiteral("0"))); });
}

void GatewayTable::move(const QString& from, const QString& to) {
    if (from == to) throw Refused(QStringLiteral("cannot move room %1 to itself").arg(from));
    transaction([&] {
        const Located source = locateOccupied(from, "move the guest of");
        const Located target = locate(to);
        if (target.row.occupied())
            throw Refused(QStringLiteral("cannot move to room %1: it is occupied").arg(to));
        update(source.id, vacate(to));
        update(target.id, occupy(source.row.guest, from));
    });
}

void GatewayTable::swap(const QString& a, const QString& b) {
    if (a == b) throw Refused(QStringLiteral("cannot swap room %1 with itself").arg(a));
    transaction([&] {
        const Located first = locateOccupied(a, "swap");
        const Located second = locateOccupied(b, "swap");
        update(first.id, occupy(second.row.guest, b));
        update(second.id, occupy(first.row.guest, a));
    });
}

void GatewayTable::rename(const QString& room, const QString& firstName, const QString& lastName) {
    transaction([&] {
        // A change of its own: no longer part of a move or swap.
        update(locateOccupied(room, "rename the guest of").id,
               {{QLatin1String("firstname"), text(firstName)},
                {QLatin1String("lastname"), text(lastName)},
                {QLatin1String("otherroomno"), QStringLiteral("0")}});
    });
}

void GatewayTable::setLanguage(const QString& room, int language) {
    transaction([&] {
        update(locateOccupied(room, "change the language of").id,
               {{QLatin1String("Language"), language}, {QLatin1String("otherroomno"), QStringLiteral("0")}});
    });
}

std::vector<RoomRow> GatewayTable::rows(const std::optional<QString>& room) {
    QSqlQuery& q =
        room ? run(kSelect + QStringLiteral(" WHERE roomno = ? ORDER BY Extension1, id"), {*room})
             : run(kSelect + QStringLiteral(" ORDER BY Extension1, id"), {});
    std::vector<RoomRow> result;
    while (q.next()) result.push_back(readRow(q));
    q.finish();
    return result;
}

}  // namespace ptce
