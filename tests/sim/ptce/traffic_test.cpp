#include <gtest/gtest.h>

#include "sim/ptce/HotelTraffic.h"
#include "tests/sim/ptce/GatewayFixture.h"

using ptce::RoomRow;
using ptce::TrafficCounts;

namespace {

class HotelTrafficTest : public GatewayTest {};
PTCE_ON_BOTH_BACKENDS(HotelTrafficTest);

TEST_P(HotelTrafficTest, SameSeedGivesTheSameTable) {
    const TrafficCounts counts = ptce::runHotelTraffic(*table, 40, 300, 7);
    const std::vector<RoomRow> rows = table->rows();
    EXPECT_EQ(counts.roomsAdded, 40);
    EXPECT_EQ(counts.events(), 300);
    EXPECT_GT(counts.moves, 0);
    EXPECT_GT(counts.swaps, 0);
    EXPECT_GT(counts.renames, 0);

    ASSERT_EQ(rows.size(), 40u);
    EXPECT_EQ(rows.front().roomno, QStringLiteral("1001"));
    EXPECT_EQ(rows.back().roomno, QStringLiteral("1040"));
    for (const RoomRow& row : rows) {
        // Occupied rows carry a whole guest, vacant rows none.
        EXPECT_EQ(row.guest.firstName.has_value(), row.occupied()) << row.roomno.toStdString();
        EXPECT_EQ(row.guest.language.has_value(), row.occupied()) << row.roomno.toStdString();
        EXPECT_EQ(row.guest.password.has_value(), row.occupied()) << row.roomno.toStdString();
    }

    freshTable();
    EXPECT_EQ(ptce::runHotelTraffic(*table, 40, 300, 7), counts);
    EXPECT_EQ(table->rows(), rows);

    freshTable();
    ptce::runHotelTraffic(*table, 40, 300, 8);
    EXPECT_NE(table->rows(), rows);
}

TEST_P(HotelTrafficTest, EventsThatCannotHappenBecomeCheckInsOrCheckOuts) {
    // One room: nobody can move or swap, and a check-in needs it vacant.
    const TrafficCounts counts = ptce::runHotelTraffic(*table, 1, 60, 3);
    EXPECT_EQ(counts.moves, 0);
    EXPECT_EQ(counts.swaps, 0);
    EXPECT_EQ(counts.events(), 60);
    EXPECT_GE(counts.checkIns, counts.checkOuts);
    EXPECT_LE(counts.checkIns, counts.checkOuts + 1);
    EXPECT_EQ(row(QStringLiteral("1001")).occupied(), counts.checkIns > counts.checkOuts);
}

TEST_P(HotelTrafficTest, KeepsRoomsThatAlreadyExist) {
    table->init(1001, 1002);
    table->checkIn(QStringLiteral("1002"),
                   ptce::CheckIn{QStringLiteral("Ann"), QStringLiteral("Lee"), 0, {}, {}});
    const TrafficCounts counts = ptce::runHotelTraffic(*table, 5, 0, 1);
    EXPECT_EQ(counts.roomsAdded, 3);
    EXPECT_EQ(table->rows().size(), 5u);
    EXPECT_EQ(row(QStringLiteral("1002")).guest.firstName, QStringLiteral("Ann"));
}

}  // namespace
