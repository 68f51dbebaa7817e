#pragma once
// vmstable as the PMS gateway writes it: the vacant rows it creates for the
// hotel's rooms and the changes it makes when guests check in and out, move,
// swap, are renamed or change language. Every change sets upd_by_ptce, which
// is how the service notices it; each operation is one transaction.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "sim/ptce/RoomRow.h"

namespace ptce {

// A change the gateway would not make: an unknown room or the wrong occupancy.
class Refused : public platform::Error {
public:
    explicit Refused(const QString& why);
};

struct CheckIn {
    QString firstName;
    QString lastName;
    int language = 0;
    QString password;
    // Extension2..Extension5; those not given keep what the row holds.
    std::array<std::optional<QString>, 4> extensions;
};

class GatewayTable {
public:
    // connectionString as PMSConnectionString builds it.
    explicit GatewayTable(QString connectionString);

    // Creates vmstable when it is missing (and the SQLite file with it), then
    // adds a vacant row for each room that has none. Returns the rows added.
    int init(int firstRoom, int lastRoom);
    int addRooms(const QStringList& rooms);

    void checkIn(const QString& room, const CheckIn& guest);
    void checkOut(const QString& room);
    void move(const QString& from, const QString& to);
    void swap(const QString& a, const QString& b);
    void rename(const QString& room, const QString& firstName, const QString& lastName);
    void setLanguage(const QString& room, int language);

    // All rows, or those of one room, ordered by Extension1.
    std::vector<RoomRow> rows(const std::optional<QString>& room = std::nullopt);

    // Runs `work` as one transaction; the operations it calls join it.
    void transaction(const std::function<void()>& work);

private:
    struct Located {
        qlonglong id = 0;
        RoomRow row;
    };
    using Assignments = std::vector<std::pair<QLatin1String, QVariant>>;

    QSqlDatabase& db(bool create = false);
    QSqlQuery& run(const QString& sql, const QVariantList& values);
    void ensureTable();
    Located locate(const QString& room);
    Located locateOccupied(const QString& room, const char* what);
    void update(qlonglong id, const Assignments& set);
    void statement(const QString& sql);

    QString m_connectionString;
    QSqlDatabase m_db;
    // Prepared once per text, so a day of traffic does not prepare per event.
    // Node-based: a query stays where it is while others are added.
    std::unordered_map<QString, QSqlQuery> m_prepared;
    int m_depth = 0;
};

}  // namespace ptce
