#include <gtest/gtest.h>

#include <QStringList>

#include "sim/ptce/TableReport.h"

using ptce::RoomRow;

namespace {

RoomRow sample() {
    RoomRow row;
    row.roomno = QStringLiteral("101");
    row.extensions = {"101", "", std::nullopt, "", ""};
    row.guest = {"Ann \"Jo\"", "Lee,\nPark", 6, std::nullopt};
    row.occStatus = QStringLiteral("1");
    row.updByPtce = 1;
    row.unreadMsgCount = 1;
    return row;
}

TEST(TableReport, CsvQuotesWhatNeedsItAndTellsNullFromEmpty) {
    EXPECT_EQ(
        ptce::formatCsv({sample()}),
        QStringLiteral(
            "roomno,otherroomno,Extension1,Extension2,Extension3,Extension4,Extension5,firstname,"
            "lastname,Language,Password,OccStatus,upd_by_ptce,upd_by_vms,UnreadMsgCount\r\n"
            "101,0,101,\"\",,\"\",\"\",\"Ann \"\"Jo\"\"\",\"Lee,\nPark\",6,,1,1,0,1\r\n"));
}

TEST(TableReport, TableAlignsColumnsAndShowsNull) {
    RoomRow vacant;
    vacant.roomno = QStringLiteral("1002");
    vacant.extensions = {"1002", "", "", "", ""};
    RoomRow guest = sample();
    guest.guest.lastName = QStringLiteral("Lee");
    const QStringList lines = ptce::formatTable({guest, vacant}).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[3].isEmpty());
    const qsizetype firstname = lines[0].indexOf(QLatin1String("firstname"));
    const qsizetype password = lines[0].indexOf(QLatin1String("Password"));
    EXPECT_EQ(lines[1].indexOf(QLatin1String("Ann \"Jo\"")), firstname);
    EXPECT_EQ(lines[2].indexOf(QLatin1String("NULL")), firstname);
    EXPECT_EQ(lines[1].indexOf(QLatin1String("NULL")),
              lines[0].indexOf(QLatin1String("Extension3")));
    EXPECT_EQ(lines[1].indexOf(QLatin1String("NULL"), firstname), password);
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("101     0  ")));
    EXPECT_FALSE(lines[2].endsWith(QLatin1Char(' ')));
}

}  // namespace
