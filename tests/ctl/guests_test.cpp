// stavioctl's guest list, password reset, un-checkout, reports and service
// control, each checked on the stand-in server, the files or the commands run.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include "admin/core/localize/StringTable.h"
#include "common/PMSConnection.h"
#include "platform/db/command.h"
#include "sim/ptce/GatewayTable.h"
#include "sim/voxaren/DirectorySync.h"
#include "sim/voxaren/MessageStore.h"
#include "tests/ctl/CtlFixture.h"

namespace {

QString english(int id) { return englishTable().value(id); }

// Lines of CSV text without their CR LF ends, split at commas (the fields
// here hold none).
std::vector<QStringList> csvRows(const QString& text) {
    std::vector<QStringList> rows;
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) rows.push_back(line.split(QLatin1Char(',')));
    return rows;
}

class CtlGuestsTest : public CtlTest {
protected:
    void SetUp() override {
        CtlTest::SetUp();
        ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"), QStringLiteral("Ann"), QStringLiteral("Lee"));
        bob = createGuest(QStringLiteral("102"), QStringLiteral("ROOM172800_102"), QStringLiteral("Bob"), QStringLiteral("Roe"));
        // Archived 186000000 s after 1/1/2000 (22 November 2005, 18:40) from room 1201.
        cy = createGuest(QStringLiteral("120120260301110000"), QStringLiteral("OUT_ROOM186000000_1201"), QStringLiteral("Cy"),
                         QStringLiteral("Poe"));
    }
    QString password(const QString& id) {
        return value(QStringLiteral("SELECT PWDTMF FROM Subscriber WHERE SubscriberObjectID=?"), {id}).toString();
    }
    QString subscriber(const QString& id) {
        return rows(QStringLiteral("SELECT Alias, DisplayName, DTMFAccessID FROM vw_Subscriber WHERE SubscriberObjectID=?"), {id})
            .value(0);
    }
    QString ann, bob, cy;
};

TEST_F(CtlGuestsTest, GuestsListsTheCheckedInOrTheArchivedGuests) {
    ProgramResult r = ctl({QStringLiteral("guests"), QStringLiteral("--csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    std::vector<QStringList> rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], QStringLiteral("CheckedIn,Extension,FirstName,LastName,DisplayName,DateCheckedIn,DateCheckedOut,Alias").split(QLatin1Char(',')));
    EXPECT_EQ(rows[1], QStringLiteral("1,101,Ann,Lee,Ann Lee - GUEST,1/2/2000,,ROOM86400_101").split(QLatin1Char(',')));
    EXPECT_EQ(rows[2], QStringLiteral("1,102,Bob,Roe,Bob Roe - GUEST,1/3/2000,,ROOM172800_102").split(QLatin1Char(',')));

    r = ctl({QStringLiteral("guests"), QStringLiteral("--archived"), QStringLiteral("--csv")});
    ASSERT_EQ(r.exitCode, 0);
    rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].value(0), QStringLiteral("0"));
    EXPECT_EQ(rows[1].value(1), QStringLiteral("1201"));
    EXPECT_EQ(rows[1].value(6), QStringLiteral("11/22/2005 6:40:00 PM"));
    EXPECT_EQ(rows[1].value(7), QStringLiteral("OUT_ROOM186000000_1201"));

    // Aligned for a person: a header and one line a guest.
    r = ctl({QStringLiteral("guests")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 3);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("CheckedIn  Extension  FirstName")));

    r = ctl({QStringLiteral("guests"), QStringLiteral("--archived"), QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray archived = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(archived.size(), 1);
    EXPECT_EQ(archived[0][QStringLiteral("CheckedIn")], QJsonValue(false));
    EXPECT_EQ(archived[0][QStringLiteral("Alias")], QJsonValue(QStringLiteral("OUT_ROOM186000000_1201")));
}

TEST_F(CtlGuestsTest, PasswordSetsTheRoomGuestsPasswordAfterTheResetsChecks) {
    const QString before = password(bob);
    ProgramResult r = ctl({QStringLiteral("password"), QStringLiteral("101"), QStringLiteral("4321")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, english(1078) + QLatin1Char('\n'));
    EXPECT_EQ(password(ann), QStringLiteral("4321"));
    EXPECT_EQ(password(bob), before);

    for (const auto& [room, wrong, message] :
         {std::tuple{"101", "12", english(1108)}, std::tuple{"101", "12345678901", english(1108)},
          std::tuple{"101", "12a4", english(1109)}, std::tuple{"101", "", english(1108)},
          std::tuple{"999", "5555", QStringLiteral("no checked-in guest in room 999")},
          // An archived guest's room is no checked-in guest's.
          std::tuple{"1201", "5555", QStringLiteral("no checked-in guest in room 1201")}}) {
        r = ctl({QStringLiteral("password"), QLatin1String(room), QLatin1String(wrong)});
        EXPECT_EQ(r.exitCode, 1) << wrong;
        EXPECT_EQ(r.err, QStringLiteral("stavioctl: ") + message + QLatin1Char('\n')) << wrong;
    }
    EXPECT_EQ(password(ann), QStringLiteral("4321"));
    EXPECT_EQ(password(cy), QString());

    // A server that refuses the new password: a failure, not "Password updated".
    QSqlQuery refuse(db());
    ASSERT_TRUE(refuse.exec(QStringLiteral("CREATE TRIGGER refusePassword BEFORE UPDATE OF PWDTMF ON Subscriber "
                                           "BEGIN SELECT RAISE(ABORT, 'the password policy refuses it'); END")));
    r = ctl({QStringLiteral("password"), QStringLiteral("101"), QStringLiteral("5555")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(r.out.contains(english(1078))) << r.out.toStdString();
    EXPECT_EQ(password(ann), QStringLiteral("4321"));
}

TEST_F(CtlGuestsTest, UncheckoutRestoresTheArchivedGuestWithYesAndRefusesWithoutATerminal) {
    const QString archived = subscriber(cy);
    // Standard input of a test's process is no terminal: without --yes nothing is asked or done.
    ProgramResult r = ctl({QStringLiteral("uncheckout"), QStringLiteral("OUT_ROOM186000000_1201")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("give --yes"))) << r.err.toStdString();
    EXPECT_EQ(subscriber(cy), archived);

    r = ctl({QStringLiteral("uncheckout"), QStringLiteral("ROOM_NOBODY"), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("stavioctl: no hotel guest has the alias ROOM_NOBODY\n"));

    {  // The directory takes the change at once.
        QSqlDatabase server = db();
        voxaren::planTickets(server, {voxaren::TicketPlan::finishAfter(0)});
    }
    r = ctl({QStringLiteral("uncheckout"), QStringLiteral("out_room186000000_1201"), QStringLiteral("--yes")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(english(1119) + QLatin1Char('\n'))) << r.out.toStdString();
    const QStringList restored = subscriber(cy).split(QLatin1Char('|'));
    ASSERT_EQ(restored.size(), 3);
    EXPECT_TRUE(restored[0].startsWith(QStringLiteral("ROOM")) && restored[0].endsWith(QStringLiteral("_1201"))) << restored[0].toStdString();
    EXPECT_EQ(restored[1], QStringLiteral("Cy Poe - GUEST"));
    EXPECT_EQ(restored[2], QStringLiteral("1201"));

    // A checked-in guest is not archived: refused with the un-checkout's own message.
    r = ctl({QStringLiteral("uncheckout"), QStringLiteral("ROOM86400_101"), QStringLiteral("--yes")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(subscriber(ann), QStringLiteral("ROOM86400_101|Ann Lee - GUEST|101"));
}

class CtlReportTest : public CtlTest {
protected:
    void SetUp() override {
        CtlTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("logs"))));
        storeText("Path to Logs", path(QStringLiteral("logs/")));
        writeLog(path(QStringLiteral("logs/VoxarenStavio_Log_20260301_00_00_01.TXT")),
                 {QStringLiteral("3/1/2026 9:00:00 AM,1003,CHECK_IN,101,,New mailbox created for Ann Lee"),
                  QStringLiteral("3/1/2026 9:05:00 AM,1005,ROOM_MOVE,101,105,Guest moved"),
                  QStringLiteral("3/1/2026 9:10:00 AM,1013,ROOM_DELETE,102,,Archived mailbox removed")});
        writeLog(path(QStringLiteral("logs/VoxarenStavio_Log_20260303_00_00_01.TXT")),
                 {QStringLiteral("3/3/2026 9:00:00 AM,1004,CHECK_OUT,105,,Guest checked out, archived")});
    }
    QStringList report(const char* kind, const char* from, const char* to) {
        return {QStringLiteral("report"), QLatin1String(kind), QStringLiteral("--from"), QLatin1String(from),
                QStringLiteral("--to"), QLatin1String(to)};
    }
};

TEST_F(CtlReportTest, ReportsAreBuiltFromTheDaysLogsToStandardOutputOrAFile) {
    ProgramResult r = ctl(report("room-activity", "2026-03-01", "2026-03-02"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    std::vector<QStringList> rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].join(QLatin1Char(',')), QStringLiteral("TIME, ACTION, PRIMARY_ROOM_EXTENSION, SECONDARY_ROOM_EXTENSION,COMMENT"));
    EXPECT_EQ(rows[1], QStringLiteral("3/1/2026 9:00:00 AM,CHECK_IN,101,,New mailbox created for Ann Lee").split(QLatin1Char(',')));
    EXPECT_EQ(rows[2], QStringLiteral("3/1/2026 9:05:00 AM,ROOM_MOVE,101,105,Guest moved").split(QLatin1Char(',')));
    // Nothing is left behind in the log folder.
    EXPECT_EQ(QDir(path(QStringLiteral("logs"))).entryList(QDir::Files).size(), 2);

    r = ctl(report("archived", "2026-03-01", "2026-03-03") + QStringList{QStringLiteral("--out"), path(QStringLiteral("a.csv"))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    rows = csvRows(readFile(path(QStringLiteral("a.csv"))));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], QStringLiteral("3/1/2026 9:10:00 AM,ROOM_DELETE,102,Archived mailbox removed").split(QLatin1Char(',')));
    // A report holds guest data: readable by its owner and the administrators' group only.
    EXPECT_EQ(QFile::permissions(path(QStringLiteral("a.csv"))) & (QFile::ReadOther | QFile::WriteOther), 0);
}

TEST_F(CtlReportTest, ReportsRefuseABackwardRangeAndTellWhenNoLogIsFound) {
    ProgramResult r = ctl(report("room-activity", "2026-03-02", "2026-03-01"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("stavioctl: ") + english(1105) + QLatin1Char('\n'));
    r = ctl(report("room-activity", "2026-04-01", "2026-04-30"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(csvRows(r.out).size(), 1u);  // the header alone
    EXPECT_EQ(r.err, QStringLiteral("stavioctl: ") + english(1073) + QLatin1Char('\n'));
    storeText("Path to Logs", path(QStringLiteral("nowhere/")));
    r = ctl(report("room-activity", "2026-03-01", "2026-03-01"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("stavioctl: ") + english(1128) + QLatin1Char('\n'));
}

TEST_F(CtlGuestsTest, LampsResyncSetsEveryCheckedInGuestsLampAndWritesThePmsTable) {
    const QString server = path(QStringLiteral("ptce.sqlite"));
    ptce::GatewayTable pms(PMSConnectionString(server));
    pms.addRooms({QStringLiteral("101"), QStringLiteral("102")});
    pms.checkIn(QStringLiteral("101"), {QStringLiteral("Ann"), QStringLiteral("Lee"), 0, QString(), {}});
    pms.checkIn(QStringLiteral("102"), {QStringLiteral("Bob"), QStringLiteral("Roe"), 0, QString(), {}});
    storeText("Precipia Server Name", server);
    QSqlDatabase voiceServer = db();
    voxaren::deliverMessage(voiceServer, {ann, QStringLiteral("Front desk"), QStringLiteral("Hi"),
                                          voxaren::kVoiceMessageClass, {}, {}});

    const ProgramResult r = ctl({QStringLiteral("lamps"), QStringLiteral("resync")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, english(1177) + QStringLiteral("2\n") + english(1178) + QStringLiteral("2\n"));
    EXPECT_TRUE(r.err.contains(english(1175) + QStringLiteral("3 / 3"))) << r.err.toStdString();
    EXPECT_EQ(pms.rows(QStringLiteral("101")).at(0).unreadMsgCount, 1);
    EXPECT_EQ(pms.rows(QStringLiteral("102")).at(0).unreadMsgCount, 0);

    EXPECT_EQ(ctl({QStringLiteral("lamps"), QStringLiteral("blink")}).exitCode, 2);
}

// A systemctl of the test's own: it records its arguments and ends with the
// status the test chose, saying why on standard error when it is not 0.
class CtlServiceTest : public CtlTest {
protected:
    void SetUp() override {
        CtlTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("fakebin"))));
        QFile script(path(QStringLiteral("fakebin/systemctl")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$@\" >> \"$SYSTEMCTL_CALLS\"\n"
                     "[ \"$SYSTEMCTL_STATUS\" = 0 ] || echo \"System has not been booted with systemd.\" >&2\n"
                     "exit \"$SYSTEMCTL_STATUS\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ProgramResult run(const char* command, int status) {
        return ctl({QLatin1String(command)},
                   {QStringLiteral("PATH=") + path(QStringLiteral("fakebin")) + QStringLiteral(":/usr/bin:/bin"),
                    QStringLiteral("SYSTEMCTL_CALLS=") + path(QStringLiteral("calls")),
                    QStringLiteral("SYSTEMCTL_STATUS=%1").arg(status)});
    }
};

TEST_F(CtlServiceTest, StartAndStopGoThroughSystemctlAndAFailureIsAFailure) {
    ProgramResult r = run("start", 0);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, english(1095) + QLatin1Char('\n'));
    r = run("stop", 0);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, english(1096) + QLatin1Char('\n'));
    r = run("start", 5);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QStringLiteral("stavioctl: ") + english(1053) +
                         QStringLiteral(": 'systemctl start OrvantaVoxarenStavio' ended with exit status 5: "
                                        "System has not been booted with systemd.\n"));
    EXPECT_EQ(readFile(path(QStringLiteral("calls"))),
              QStringLiteral("start OrvantaVoxarenStavio\nstop OrvantaVoxarenStavio\nstart OrvantaVoxarenStavio\n"));
}

}  // namespace
