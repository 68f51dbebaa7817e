#pragma once
// A day of hotel traffic for load tests: random check-ins, check-outs, moves,
// swaps and renames over rooms 1001, 1002, ... The generator is std::mt19937,
// whose output the language fixes, so a seed gives the same table everywhere.
#include <QString>
#include <cstdint>

#include "sim/ptce/GatewayTable.h"

namespace ptce {

struct TrafficCounts {
    int roomsAdded = 0;
    int checkIns = 0;
    int checkOuts = 0;
    int moves = 0;
    int swaps = 0;
    int renames = 0;

    int events() const { return checkIns + checkOuts + moves + swaps + renames; }
    bool operator==(const TrafficCounts&) const = default;
};

// The room number of the n-th room (n from 1) of the traffic hotel.
QString trafficRoom(int n);

// Makes sure rooms 1..rooms exist, then applies `events` events in one
// transaction. An event that cannot happen (a check-out with nobody in) turns
// into a check-in, or a check-out when every room is taken.
TrafficCounts runHotelTraffic(GatewayTable& table, int rooms, int events, std::uint32_t seed);

// One line for the operator: how many rooms and events of each kind.
QString describe(const TrafficCounts& counts, int rooms);

}  // namespace ptce
