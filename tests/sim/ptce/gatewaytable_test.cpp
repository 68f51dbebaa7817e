#include <gtest/gtest.h>

#include "tests/sim/ptce/GatewayFixture.h"

using ptce::CheckIn;
using ptce::Guest;
using ptce::Refused;
using ptce::RoomRow;

namespace {

CheckIn guest(const QString& first, const QString& last, int language = 0,
              const QString& password = QString()) {
    CheckIn g;
    g.firstName = first;
    g.lastName = last;
    g.language = language;
    g.password = password;
    return g;
}

RoomRow occupied(RoomRow row, const Guest& g, const QString& otherRoom = QStringLiteral("0")) {
    row.occStatus = QStringLiteral("1");
    row.guest = g;
    row.otherroomno = otherRoom;
    row.updByPtce = 1;
    return row;
}

class GatewayTableTest : public GatewayTest {};
PTCE_ON_BOTH_BACKENDS(GatewayTableTest);

TEST_P(GatewayTableTest, InitAddsVacantRoomsOnceAndKeepsExistingRows) {
    EXPECT_EQ(table->init(101, 103), 3);
    EXPECT_EQ(table->rows(), (std::vector<RoomRow>{vacant("101"), vacant("102"), vacant("103")}));

    table->checkIn(QStringLiteral("102"), guest(QStringLiteral("Ann"), QStringLiteral("Lee")));
    const RoomRow checkedIn = row(QStringLiteral("102"));
    EXPECT_EQ(table->init(101, 105), 2);
    EXPECT_EQ(table->rows(), (std::vector<RoomRow>{vacant("101"), checkedIn, vacant("103"),
                                                   vacant("104"), vacant("105")}));

    if (GetParam() == Backend::Sqlite) {
        QSqlQuery q(platform::db::database(connection()));
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
        EXPECT_EQ(q.value(0).toString(),
                  QStringLiteral("wal"));  // the service reads while we write
    }
}

TEST_P(GatewayTableTest, RowsComeInExtensionOrderAndByRoom) {
    table->init(101, 102);
    table->addRooms({QStringLiteral("0999"), QStringLiteral("A1")});
    QStringList order;
    for (const RoomRow& r : table->rows()) order << r.roomno;
    EXPECT_EQ(order, (QStringList{"0999", "101", "102", "A1"}));
    EXPECT_EQ(table->rows(QStringLiteral("102")), std::vector<RoomRow>{vacant("102")});
    EXPECT_TRUE(table->rows(QStringLiteral("999")).empty());
}

TEST_P(GatewayTableTest, CheckInFillsTheRowAndCheckOutEmptiesIt) {
    table->init(101, 102);
    CheckIn first =
        guest(QStringLiteral("Zoë"), QStringLiteral("O'Brien"), 7, QStringLiteral("4321"));
    first.extensions[0] = QStringLiteral("2101");
    first.extensions[2] = QStringLiteral("4101");
    table->checkIn(QStringLiteral("101"), first);
    RoomRow expected = occupied(vacant("101"), {"Zoë", "O'Brien", 7, "4321"});
    expected.extensions = {"101", "2101", "", "4101", ""};
    EXPECT_EQ(row("101"), expected);
    EXPECT_EQ(row("102"), vacant("102"));

    // A second check-in without language, password or extensions: language 0,
    // password empty text (not NULL), extensions as they were.
    serviceHandled(QStringLiteral("101"));
    table->checkIn(QStringLiteral("101"), guest(QStringLiteral("Bo"), QStringLiteral("Kim")));
    expected.guest = {"Bo", "Kim", 0, ""};
    expected.updByVms = 1;
    expected.unreadMsgCount = 1;
    EXPECT_EQ(row("101"), expected);

    serviceHandled(QStringLiteral("101"));
    table->checkOut(QStringLiteral("101"));
    RoomRow out = expected;
    out.occStatus = QStringLiteral("0");
    out.guest = Guest{};
    out.updByVms = 2;  // the lamp columns are the service's: left alone
    EXPECT_EQ(row("101"), out);
    EXPECT_EQ(row("102"), vacant("102"));
}

TEST_P(GatewayTableTest, MoveCarriesTheGuestAndPairsTheRooms) {
    table->init(101, 103);
    CheckIn ann = guest(QStringLiteral("Ann"), QStringLiteral("Lee"), 10, QStringLiteral("1111"));
    ann.extensions[0] = QStringLiteral("2101");
    table->checkIn(QStringLiteral("101"), ann);
    table->move(QStringLiteral("101"), QStringLiteral("103"));

    RoomRow from = vacant("101");
    from.extensions[1] = QStringLiteral("2101");  // extensions belong to the room, not the guest
    from.otherroomno = QStringLiteral("103");
    from.updByPtce = 1;
    EXPECT_EQ(row("101"), from);
    EXPECT_EQ(row("103"), occupied(vacant("103"), {"Ann", "Lee", 10, "1111"}, "101"));
    EXPECT_EQ(row("102"), vacant("102"));

    table->checkOut(QStringLiteral("103"));
    EXPECT_EQ(row("103").otherroomno, QStringLiteral("0"));
}

TEST_P(GatewayTableTest, SwapExchangesTheGuestsOfTwoOccupiedRooms) {
    table->init(101, 103);
    table->checkIn(QStringLiteral("101"),
                   guest(QStringLiteral("Ann"), QStringLiteral("Lee"), 1, QStringLiteral("1111")));
    table->checkIn(QStringLiteral("102"), guest(QStringLiteral("Bo"), QStringLiteral("Kim")));
    table->swap(QStringLiteral("101"), QStringLiteral("102"));
    EXPECT_EQ(row("101"), occupied(vacant("101"), {"Bo", "Kim", 0, ""}, "102"));
    EXPECT_EQ(row("102"), occupied(vacant("102"), {"Ann", "Lee", 1, "1111"}, "101"));
    EXPECT_EQ(row("103"), vacant("103"));
}

TEST_P(GatewayTableTest, RenameAndLanguageChangeOnlyTheirColumns) {
    table->init(101, 101);
    table->checkIn(QStringLiteral("101"),
                   guest(QStringLiteral("Ann"), QStringLiteral("Lee"), 1, QStringLiteral("1111")));
    serviceHandled(QStringLiteral("101"));
    table->rename(QStringLiteral("101"), QStringLiteral("Anna"), QStringLiteral("Lee-Park"));
    RoomRow expected = occupied(vacant("101"), {"Anna", "Lee-Park", 1, "1111"});
    expected.updByVms = 1;
    expected.unreadMsgCount = 1;
    EXPECT_EQ(row("101"), expected);

    serviceHandled(QStringLiteral("101"));
    table->setLanguage(QStringLiteral("101"), 8);
    expected.guest.language = 8;
    expected.updByVms = 2;
    EXPECT_EQ(row("101"), expected);
}

TEST_P(GatewayTableTest, ARenameOrLanguageChangeAfterAMoveIsNoLongerPartOfIt) {
    table->init(101, 102);
    table->checkIn(QStringLiteral("101"), guest(QStringLiteral("Ann"), QStringLiteral("Lee")));
    table->move(QStringLiteral("101"), QStringLiteral("102"));
    ASSERT_EQ(row("102").otherroomno, QStringLiteral("101"));
    table->rename(QStringLiteral("102"), QStringLiteral("Anna"), QStringLiteral("Lee"));
    EXPECT_EQ(row("102").otherroomno, QStringLiteral("0"));
    EXPECT_EQ(row("101").otherroomno, QStringLiteral("102"));  // the room left keeps its partner
    table->move(QStringLiteral("102"), QStringLiteral("101"));
    table->setLanguage(QStringLiteral("101"), 10);
    EXPECT_EQ(row("101").otherroomno, QStringLiteral("0"));
}

TEST_P(GatewayTableTest, RefusedChangesLeaveTheTableAlone) {
    table->init(101, 104);
    table->checkIn(QStringLiteral("101"), guest(QStringLiteral("Ann"), QStringLiteral("Lee")));
    table->checkIn(QStringLiteral("102"), guest(QStringLiteral("Bo"), QStringLiteral("Kim")));
    const auto before = snapshot();
    const QString r101 = QStringLiteral("101"), r102 = QStringLiteral("102"),
                  r103 = QStringLiteral("103"), r999 = QStringLiteral("999");

    EXPECT_THROW(table->move(r103, QStringLiteral("104")), Refused);  // nobody to move
    EXPECT_THROW(table->move(r101, r102), Refused);                   // target taken
    EXPECT_THROW(table->move(r101, r999), Refused);
    EXPECT_THROW(table->move(r999, r103), Refused);
    EXPECT_THROW(table->move(r101, r101), Refused);
    EXPECT_THROW(table->swap(r101, r103), Refused);
    EXPECT_THROW(table->swap(r101, r999), Refused);
    EXPECT_THROW(table->swap(r101, r101), Refused);
    EXPECT_THROW(table->rename(r103, QStringLiteral("X"), QStringLiteral("Y")), Refused);
    EXPECT_THROW(table->setLanguage(r103, 2), Refused);
    EXPECT_THROW(table->checkIn(r999, guest(QStringLiteral("X"), QStringLiteral("Y"))), Refused);
    EXPECT_THROW(table->checkOut(r999), Refused);
    EXPECT_EQ(snapshot(), before);

    // Each refusal ended its transaction: the next change goes through.
    table->move(r101, r103);
    EXPECT_TRUE(row(r103).occupied());
}

TEST_P(GatewayTableTest, QuotedRoomNumbersChangeOnlyTheirOwnRow) {
    table->init(101, 102);
    const QString quoted = QStringLiteral("10'1");
    const QString injection = QStringLiteral("1' OR '1'='1");
    EXPECT_EQ(table->addRooms({quoted, injection}), 2);
    EXPECT_EQ(table->addRooms({quoted, injection}), 0);

    const auto changesOnly = [&](const std::function<void()>& change, const QStringList& rooms) {
        auto expected = snapshot();
        change();
        const auto after = snapshot();
        for (auto& [room, r] : expected) {
            if (rooms.contains(room)) continue;
            EXPECT_EQ(after.at(room), r) << "room " << room.toStdString();
        }
        for (const QString& room : rooms)
            EXPECT_EQ(after.at(room).updByPtce, 1) << "room " << room.toStdString();
    };
    changesOnly(
        [&] { table->checkIn(quoted, guest(QStringLiteral("Ann"), QStringLiteral("Lee"))); },
        {quoted});
    changesOnly([&] { table->move(quoted, injection); }, {quoted, injection});
    EXPECT_EQ(row(injection), occupied(vacant(injection), {"Ann", "Lee", 0, ""}, quoted));
    changesOnly([&] { table->checkOut(injection); }, {injection});
}

}  // namespace
