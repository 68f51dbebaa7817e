#include "sim/ptce/HotelTraffic.h"

#include <QHash>
#include <QStringList>
#include <random>
#include <vector>

namespace ptce {

namespace {

const QStringList kFirstNames = {
    QStringLiteral("Ann"),      QStringLiteral("Bruno"),   QStringLiteral("Chiara"),
    QStringLiteral("Dmitri"),   QStringLiteral("Élodie"),  QStringLiteral("Fatima"),
    QStringLiteral("Grzegorz"), QStringLiteral("Hiroshi"), QStringLiteral("Ingrid"),
    QStringLiteral("José"),     QStringLiteral("Kwame"),   QStringLiteral("Léa"),
    QStringLiteral("Mei"),      QStringLiteral("Niamh"),   QStringLiteral("Oskar"),
    QStringLiteral("Priya"),    QStringLiteral("Rosa"),    QStringLiteral("Søren"),
    QStringLiteral("Tomás"),    QStringLiteral("Zoë")};

const QStringList kLastNames = {
    QStringLiteral("Anderson"),  QStringLiteral("Bauer"),    QStringLiteral("Castillo"),
    QStringLiteral("Dubois"),    QStringLiteral("Eriksen"),  QStringLiteral("Fischer"),
    QStringLiteral("García"),    QStringLiteral("Hoffmann"), QStringLiteral("Ito"),
    QStringLiteral("Jankowski"), QStringLiteral("Li"),       QStringLiteral("Müller"),
    QStringLiteral("Nakamura"),  QStringLiteral("O'Brien"),  QStringLiteral("Peña"),
    QStringLiteral("Rossi"),     QStringLiteral("Schmidt"),  QStringLiteral("Tremblay"),
    QStringLiteral("Wang"),      QStringLiteral("Yilmaz")};

// Every language the gateway knows, and 0 and 3 for the US English fallback.
const int kLanguages[] = {0, 1, 2, 3, 4, 6, 7, 8, 10, 11};

class Random {
public:
    explicit Random(std::uint32_t seed) : m_engine(seed) {}
    // Modulo rather than a std distribution: those differ between libraries.
    int below(int n) { return int(m_engine() % std::uint32_t(n)); }
    template <typename List>
    const auto& among(const List& list) {
        return list[below(int(std::size(list)))];
    }

private:
    std::mt19937 m_engine;
};

// The rooms split into vacant and occupied, each side pickable by index.
class RoomPool {
public:
    explicit RoomPool(const std::vector<bool>& occupied)
        : m_position(occupied.size()), m_occupied(occupied) {
        for (size_t room = 0; room < occupied.size(); ++room) insert(int(room));
    }
    int count(bool occupied) const { return int(m_rooms[occupied].size()); }
    int at(bool occupied, int index) const { return m_rooms[occupied][size_t(index)]; }
    void set(int room, bool occupied) {
        if (m_occupied[size_t(room)] == occupied) return;
        auto& side = m_rooms[m_occupied[size_t(room)]];
        const size_t position = m_position[size_t(room)];
        side[position] = side.back();
        m_position[size_t(side[position])] = position;
        side.pop_back();
        m_occupied[size_t(room)] = occupied;
        insert(room);
    }

private:
    void insert(int room) {
        auto& side = m_rooms[m_occupied[size_t(room)]];
        m_position[size_t(room)] = side.size();
        side.push_back(room);
    }

    std::vector<int> m_rooms[2];
    std::vector<size_t> m_position;
    std::vector<bool> m_occupied;
};

enum class Event { CheckIn, CheckOut, Move, Swap, Rename };

Event chooseEvent(Random& random, const RoomPool& pool) {
    const int roll = random.below(100);
    const Event wanted = roll < 35   ? Event::CheckIn
                         : roll < 65 ? Event::CheckOut
                         : roll < 77 ? Event::Move
                         : roll < 85 ? Event::Swap
                                     : Event::Rename;
    const int vacant = pool.count(false);
    const int occupied = pool.count(true);
    const bool possible =
        (wanted == Event::CheckIn && vacant > 0) ||
        ((wanted == Event::CheckOut || wanted == Event::Rename) && occupied > 0) ||
        (wanted == Event::Move && occupied > 0 && vacant > 0) ||
        (wanted == Event::Swap && occupied > 1);
    if (possible) return wanted;
    return vacant > 0 ? Event::CheckIn : Event::CheckOut;
}

CheckIn newGuest(Random& random) {
    CheckIn guest;
    guest.firstName = random.among(kFirstNames);
    guest.lastName = random.among(kLastNames);
    guest.language = random.among(kLanguages);
    // One guest in five leaves the password empty.
    if (random.below(5) > 0)
        guest.password = QStringLiteral("%1").arg(random.below(10000), 4, 10, QLatin1Char('0'));
    return guest;
}

}  // namespace

QString trafficRoom(int n) {
    return QString::number(1000 + n);
}

TrafficCounts runHotelTraffic(GatewayTable& table, int rooms, int events, std::uint32_t seed) {
    TrafficCounts counts;
    QStringList numbers;
    for (int n = 1; n <= rooms; ++n) numbers << trafficRoom(n);
    counts.roomsAdded = table.addRooms(numbers);

    QHash<QString, bool> occupiedNow;
    for (const RoomRow& row : table.rows()) occupiedNow.insert(row.roomno, row.occupied());
    std::vector<bool> occupied;
    for (const QString& number : std::as_const(numbers))
        occupied.push_back(occupiedNow.value(number));
    RoomPool pool(occupied);
    Random random(seed);
    const auto room = [&](int index) { return numbers[index]; };

    table.transaction([&] {
        for (int i = 0; i < events; ++i) {
            switch (chooseEvent(random, pool)) {
                case Event::CheckIn: {
                    const int r = pool.at(false, random.below(pool.count(false)));
                    table.checkIn(room(r), newGuest(random));
                    pool.set(r, true);
                    ++counts.checkIns;
                    break;
                }
                case Event::CheckOut: {
                    const int r = pool.at(true, random.below(pool.count(true)));
                    table.checkOut(room(r));
                    pool.set(r, false);
                    ++counts.checkOuts;
                    break;
                }
                case Event::Move: {
                    const int from = pool.at(true, random.below(pool.count(true)));
                    const int to = pool.at(false, random.below(pool.count(false)));
                    table.move(room(from), room(to));
                    pool.set(from, false);
                    pool.set(to, true);
                    ++counts.moves;
                    break;
                }
                case Event::Swap: {
                    const int first = random.below(pool.count(true));
                    int second = random.below(pool.count(true) - 1);
                    if (second >= first) ++second;
                    table.swap(room(pool.at(true, first)), room(pool.at(true, second)));
                    ++counts.swaps;
                    break;
                }
                case Event::Rename: {
                    // A name corrected, first or last: the same guest.
                    const int r = pool.at(true, random.below(pool.count(true)));
                    const CheckIn guest = newGuest(random);
                    const Guest now = table.rows(room(r)).front().guest;
                    if (random.below(2) == 0)
                        table.rename(room(r), guest.firstName, now.lastName.value_or(QString()));
                    else
                        table.rename(room(r), now.firstName.value_or(QString()), guest.lastName);
                    ++counts.renames;
                    break;
                }
            }
        }
    });
    return counts;
}

QString describe(const TrafficCounts& counts, int rooms) {
    return QStringLiteral(
               "rooms %1-%2 (%3 added); %4 events: %5 check-ins, %6 check-outs, %7 moves, %8 "
               "swaps, "
               "%9 renames")
        .arg(trafficRoom(1), trafficRoom(rooms))
        .arg(counts.roomsAdded)
        .arg(counts.events())
        .arg(counts.checkIns)
        .arg(counts.checkOuts)
        .arg(counts.moves)
        .arg(counts.swaps)
        .arg(counts.renames);
}

}  // namespace ptce
