// The archive sweep: archived guests are deleted once their archive days are
// over, one per pass, each pass reading the archived guests afresh.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "service/Sweeps.h"
#include "tests/support/GuestFixture.h"

using namespace modPMSFunctions;

namespace {

const QString kDeleteFailed = QStringLiteral("Error encountered when deleting room during archive sweep.  Room number=");

class ArchiveSweepTest : public GuestFixture {
protected:
    // A guest of the room as check-out leaves it, checked out `ago` before
    // now: alias "OUT_ROOM" + seconds since 2000 + "_" + room, extension the
    // room followed by the check-out time. Returns its alias.
    QString archived(const QString& room, qint64 agoSeconds, const QString& firstName = QStringLiteral("Ann")) {
        const QDateTime out = clock->now().addSecs(-agoSeconds);
        return archivedWithSeconds(room, aliasSeconds(out), out, firstName);
    }
    QString archivedWithSeconds(const QString& room, qint64 seconds, const QDateTime& out,
                                const QString& firstName = QStringLiteral("Ann")) {
        const QString alias = QStringLiteral("OUT_ROOM%1_%2").arg(seconds).arg(room);
        ids[alias] = createGuest(room + out.toString(QStringLiteral("yyyyMMddHHmmss")), alias, firstName);
        return alias;
    }
    static qint64 days(double n) { return qint64(n * 86400); }

    // The aliases of the hotel guests the server still has, in alias order.
    QStringList remaining() {
        return rows(QStringLiteral("SELECT Alias FROM vw_Subscriber WHERE ConversationName='ConvHotel' ORDER BY Alias"));
    }
    QString extensionOf(const QString& alias) {
        return value(QStringLiteral("SELECT DTMFAccessID FROM vw_Subscriber WHERE Alias=?"), {alias}).toString();
    }
    // The sweep's own lines (1013), without DeleteGuest's debug lines.
    QStringList sweepLines() { return logLines().filter(QRegularExpression(QStringLiteral("^1013,|^1015,ROOM_DELETE_DEBUG,,"))); }

    QHash<QString, QString> ids;
};

TEST_F(ArchiveSweepTest, SevenArchiveDaysDeleteAGuestOfEightDaysAndKeepOneOfSix) {
    const QString eightDays = archived(QStringLiteral("101"), days(8));
    const QString sixDays = archived(QStringLiteral("104"), days(6));
    const QString inHouse = QStringLiteral("ROOM1_105");
    createGuest(QStringLiteral("105"), inHouse);
    const QString extension = extensionOf(eightDays);

    SweepForRoomDeletes(serviceState);

    EXPECT_EQ(remaining(), QStringList({sixDays, inHouse}));
    EXPECT_EQ(logLines(), QStringList({
                              "1015,ROOM_DELETE_DEBUG,,,Searching for archived rooms to delete",
                              "1013,ROOM_DELETE," + extension + ",,Found room to delete during SweepForRoomDeletes - Alias=" + eightDays,
                              "1015,ROOM_DELETE_DEBUG," + extension + ",,Starting room delete",
                              "1015,ROOM_DELETE_DEBUG," + extension + ",,Alias=" + eightDays,
                              "1015,ROOM_DELETE_DEBUG," + extension + ",,Display Name=Ann Lee - GUEST",
                              "1015,ROOM_DELETE_DEBUG," + extension + ",,ObjectID=" + ids[eightDays],
                              "1015,ROOM_DELETE_DEBUG," + extension + ",,Call to directory sync done, waiting for sync to complete",
                              "1015,ROOM_DELETE_DEBUG," + extension + ",,Directory sync complete",
                              "1013,ROOM_DELETE," + extension + ",,Room deleted during archive sweep.  Alias=" + eightDays,
                              "1013,ROOM_DELETE,,,Archived rooms sweep complete",
                          }));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(ArchiveSweepTest, AGuestIsDueFromTheVerySecondItsArchiveDaysAreOverWithTheCutOffOfEachPass) {
    archived(QStringLiteral("101"), days(7));
    const QString tenSecondsShort = archived(QStringLiteral("102"), days(7) - 10);
    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(remaining(), QStringList{tenSecondsShort});

    // Each pass takes a fresh cut-off: the wait of one deletion (2 s) makes
    // a guest one second short of its archive days due in the next pass.
    archived(QStringLiteral("103"), days(8));
    archived(QStringLiteral("104"), days(7) - 1);
    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(remaining(), QStringList{tenSecondsShort});
}

TEST_F(ArchiveSweepTest, NoArchiveDaysMakeEveryArchivedGuestDue) {
    serviceState.settings.MailboxArchiveDays = 0;
    archived(QStringLiteral("101"), days(0.5));
    archived(QStringLiteral("102"), 0);  // checked out this very second
    SweepForRoomDeletes(serviceState);
    EXPECT_TRUE(remaining().isEmpty()) << remaining().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(sweepLines().last(), QStringLiteral("1015,ROOM_DELETE_DEBUG,,,No checked out rooms found"));
}

TEST_F(ArchiveSweepTest, EachPassDeletesOneGuestAndTheLastPassSaysWhyItEnds) {
    const QString first = archived(QStringLiteral("101"), days(30));
    const QString second = archived(QStringLiteral("102"), days(20));
    const QString third = archived(QStringLiteral("103"), days(10));
    const qint64 before = clock->sleptMs();
    SweepForRoomDeletes(serviceState);
    EXPECT_TRUE(remaining().isEmpty());
    EXPECT_EQ(clock->sleptMs() - before, 3 * 2000);  // one synchronisation wait per deletion
    QStringList found = sweepLines().filter(QStringLiteral("Found room to delete"));
    ASSERT_EQ(found.size(), 3);
    EXPECT_TRUE(found[0].endsWith(first) && found[1].endsWith(second) && found[2].endsWith(third)) << found.join('\n').toStdString();
    EXPECT_EQ(sweepLines().last(), QStringLiteral("1015,ROOM_DELETE_DEBUG,,,No checked out rooms found"));

    // With a fourth archived guest not yet due, the last pass reaches the end of the rows.
    archived(QStringLiteral("101"), days(30));
    archived(QStringLiteral("102"), days(20));
    archived(QStringLiteral("103"), days(10));
    const QString notYet = archived(QStringLiteral("104"), days(1));
    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(remaining(), QStringList{notYet});
    EXPECT_EQ(sweepLines().filter(QStringLiteral("Room deleted during archive sweep")).size(), 6);
    EXPECT_EQ(sweepLines().last(), QStringLiteral("1013,ROOM_DELETE,,,Archived rooms sweep complete"));

    // Without "Debug Mode" only the finding and the deletion of a guest are written.
    serviceState.settings.DebugMode = false;
    const int linesBefore = logLines().size();
    const QString due = archived(QStringLiteral("105"), days(9));
    const QString extension = extensionOf(due);
    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(logLines().mid(linesBefore),
              QStringList({"1013,ROOM_DELETE," + extension + ",,Found room to delete during SweepForRoomDeletes - Alias=" + due,
                           "1013,ROOM_DELETE," + extension + ",,Room deleted during archive sweep.  Alias=" + due}));
}

TEST_F(ArchiveSweepTest, CheckOutTimesAreComparedAsNumbersWhateverTheirNumberOfDigits) {
    // After 9 September 2031 01:46:40 the seconds since 2000 have ten digits.
    clock->set(QDateTime(QDate(2031, 9, 12), QTime(12, 0)));
    const QString twoDaysAgo = archived(QStringLiteral("101"), days(2));
    ASSERT_EQ(twoDaysAgo.section(QLatin1Char('_'), 1, 1).mid(4).size(), 10);  // compared as text it would be due
    const QString elevenDaysAgo = archived(QStringLiteral("102"), days(11));
    ASSERT_EQ(elevenDaysAgo.section(QLatin1Char('_'), 1, 1).mid(4).size(), 9);
    // A guest archived in 2003 has eight digits and is long due.
    const QDateTime in2003(QDate(2003, 3, 3), QTime(10, 0));
    archivedWithSeconds(QStringLiteral("103"), 99999999, in2003);

    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(remaining(), QStringList{twoDaysAgo});
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(ArchiveSweepTest, AnAliasWithoutACheckOutTimeIsNeverDue) {
    createGuest(QStringLiteral("10120260101000000"), QStringLiteral("OUT_ROOM_101"));
    createGuest(QStringLiteral("10220260101000000"), QStringLiteral("OUT_ROOMx5_102"));
    serviceState.settings.MailboxArchiveDays = 0;
    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(remaining(), QStringList({"OUT_ROOM_101", "OUT_ROOMx5_102"}));
    EXPECT_EQ(sweepLines().last(), QStringLiteral("1013,ROOM_DELETE,,,Archived rooms sweep complete"));
}

TEST_F(ArchiveSweepTest, AFailedDeletionIsReportedOncePerRunAndTheOtherDueGuestsGo) {
    const QString stuck = archived(QStringLiteral("101"), days(30), QStringLiteral("Stuck"));
    const QString stuckExtension = extensionOf(stuck);
    archived(QStringLiteral("102"), days(20));
    archived(QStringLiteral("103"), days(10));
    serverExec(QStringLiteral(
        "CREATE TRIGGER keep_stuck BEFORE DELETE ON Subscriber WHEN OLD.FirstName = 'Stuck' "
        "BEGIN SELECT RAISE(ABORT, 'mailbox in use'); END"));

    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(remaining(), QStringList{stuck});
    EXPECT_EQ(eventTexts().filter(kDeleteFailed).size(), 1) << eventTexts().join('\n').toStdString();
    EXPECT_TRUE(eventTexts().contains(kDeleteFailed + stuckExtension));
    EXPECT_EQ(logLines().filter(QStringLiteral("1013,ROOM_DELETE,") + stuckExtension +
                                QStringLiteral(",,Error encountered when deleting room during archive sweep"))
                  .size(),
              1);
    EXPECT_EQ(logLines().filter(QStringLiteral("Found room to delete")).size(), 3);
    EXPECT_EQ(sweepLines().last(), QStringLiteral("1013,ROOM_DELETE,,,Archived rooms sweep complete"));

    // The next run tries it again.
    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(eventTexts().filter(kDeleteFailed).size(), 2);
}

TEST_F(ArchiveSweepTest, ADueGuestWithoutExtensionIsReportedOnEveryPassAndKept) {
    const QString noExtension = archived(QStringLiteral("101"), days(30));
    serverExec(QStringLiteral("DELETE FROM DTMFAccessID WHERE ParentObjectID = ?"),
               {ids[noExtension]});
    archived(QStringLiteral("102"), days(20));
    archived(QStringLiteral("103"), days(10));

    SweepForRoomDeletes(serviceState);
    EXPECT_EQ(remaining(), QStringList{noExtension});
    const QString error = QStringLiteral("Error encountered when deleting room during archive sweep.  Room number is NULL "
                                         "which is invalid.  Alias of room=") +
                          noExtension;
    EXPECT_EQ(eventTexts(), QStringList({error, error, error}));  // two passes that deleted, one that ended
    EXPECT_EQ(logLines().filter(QStringLiteral("4,ERROR,,,") + error).size(), 3);
}

}  // namespace
