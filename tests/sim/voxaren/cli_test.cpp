// voxaren-sim from a shell: init against the registry store named by
// STAVIO_REGISTRY, then the guest list, messages and lamps.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/db/connection.h"
#include "platform/registry.h"
#include "sim/voxaren/ServerAccess.h"
#include "sim/voxaren/ServerIdentity.h"
#include "tests/support/ServerFixture.h"
#include "tests/support/Programs.h"

using namespace platform::db;

namespace {

class VoxarenSimTest : public StavioTest {
protected:
    void SetUp() override {
        StavioTest::SetUp();
        voxaren::installServerAccess(environment());
    }
    ProgramResult sim(const QStringList& args) { return runProgram(QStringLiteral("voxaren-sim"), args); }
    QString text(const QString& key, const QString& name) {
        const auto v = platform::machineRegistry().value(key, name);
        return v ? v->display() : QStringLiteral("(missing)");
    }
    // A guest as check-in leaves it, made in this process through the registry store.
    void checkIn(const QString& room, const QString& alias, const QString& first) {
        Command create;
        create.ActiveConnection = voxaren::kLocalConnection;
        create.CommandText = QStringLiteral("sp_CreateSubscriber");
        create.SetParameter(QStringLiteral("@Alias"), alias);
        create.SetParameter(QStringLiteral("@DtmfAccessId"), room);
        create.SetParameter(QStringLiteral("@templateAlias"), QStringLiteral("DefaultTemplate"));
        create.SetParameter(QStringLiteral("@DisplayName"), first + QStringLiteral(" Lee - GUEST"));
        create.SetParameter(QStringLiteral("@FirstName"), first);
        create.SetParameter(QStringLiteral("@LastName"), QStringLiteral("Lee"));
        const QString id = create.Execute().Text(QStringLiteral("SubscriberObjectID"));
        Command mark;
        mark.ActiveConnection = voxaren::kLocalConnection;
        mark.CommandText = QStringLiteral("sp_ModifySubscriber");
        mark.SetParameter(QStringLiteral("@SubscriberObjectID"), id);
        mark.SetParameter(QStringLiteral("@ConversationName"), QStringLiteral("ConvHotel"));
        mark.Execute();
    }
    QStringList primaryLamps() {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT vw_Subscriber.DTMFAccessID, vw_NotificationMWI.MWIOn FROM vw_Subscriber "
                               "INNER JOIN vw_NotificationMWI ON vw_NotificationMWI.ParentObjectID = "
                               "vw_Subscriber.SubscriberObjectID WHERE vw_NotificationMWI.Alias='MWI-1' AND "
                               "vw_Subscriber.ConversationName='ConvHotel' ORDER BY 1"),
                voxaren::kLocalConnection, adOpenKeyset);
        QStringList lamps;
        for (; !rs.IsEOF(); rs.MoveNext())
            lamps << rs.Text(QStringLiteral("DTMFAccessID")) + QLatin1Char('=') + rs.Text(QStringLiteral("MWIOn"));
        return lamps;
    }
    QString init() {
        const QString db = path(QStringLiteral("vox/VoxarenDb.sqlite"));
        const ProgramResult r = sim({"init", "--db", db, "--server-version", "4.0.2.104"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return db;
    }
};

TEST_F(VoxarenSimTest, InitRegistersTheServerAndGuestsListsItsHotelGuests) {
    const QString db = init();
    const QString root = QFileInfo(db).absolutePath() + QLatin1Char('/');
    EXPECT_EQ(text(voxaren::kCorevaneKey, QStringLiteral("Root Path")), root);
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("stream files")).isDir());
    EXPECT_EQ(text(voxaren::kCorevaneKey, voxaren::kDatabasePathValue), db);
    EXPECT_EQ(text(QStringLiteral("Software\\Brightkeel"), QStringLiteral("Version Number")),
              QString::number(0x00040000));
    EXPECT_EQ(text(QStringLiteral("Software\\Brightkeel"), QStringLiteral("Build Number")), QString::number(0x00020068));
    EXPECT_EQ(text(voxaren::kSystemParametersKey, QStringLiteral("IDCProgID")), QStringLiteral("BkDcAdSvr.BkDcAd.1"));

    checkIn(QStringLiteral("102"), QStringLiteral("ROOM7_102"), QStringLiteral("Bo"));
    checkIn(QStringLiteral("101"), QStringLiteral("ROOM7_101"), QStringLiteral("Ann"));
    const ProgramResult r = sim({"guests"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("Extension  Alternates  Alias")));
    EXPECT_EQ(lines[1].simplified(), QStringLiteral("101 ROOM7_101 Ann Lee - GUEST Ann Lee 1033 0 off"));
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("102 ROOM7_102 Bo Lee - GUEST Bo Lee 1033 0 off"));
    EXPECT_EQ(lines[1].indexOf(QLatin1String("ROOM7_101")), lines[0].indexOf(QLatin1String("Alias")));
}

TEST_F(VoxarenSimTest, LeavingAndHearingMessagesMovesTheLamp) {
    init();
    checkIn(QStringLiteral("101"), QStringLiteral("ROOM7_101"), QStringLiteral("Ann"));
    checkIn(QStringLiteral("102"), QStringLiteral("ROOM7_102"), QStringLiteral("Bo"));

    ProgramResult r = sim({"leave-message", "101", "--from", "Front Desk"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("voice message left for 101; lamp on\n"));
    EXPECT_EQ(primaryLamps(), (QStringList{"101=1", "102=0"}));
    r = sim({"messages", "101"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("Front Desk  Voice message from Front Desk  IPM.Note.Voice.Voxaren  unread")))
        << r.out.toStdString();

    ASSERT_EQ(sim({"leave-message", "101"}).exitCode, 0);
    r = sim({"read-messages", "101"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2 message(s) of 101 marked read; lamp off\n"));
    EXPECT_EQ(primaryLamps(), (QStringList{"101=0", "102=0"}));
    r = sim({"lamps"});
    EXPECT_TRUE(r.out.contains(QRegularExpression(QStringLiteral("\\n101 +ROOM7_101 +MWI-1 +X +off\\n"))))
        << r.out.toStdString();
}

TEST_F(VoxarenSimTest, ObjectsAddedFromTheShellHoldTheirExtensions) {
    init();
    ProgramResult r = sim({"add-object", "call-handler", "1205", "Front Desk Night"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QLatin1String("added call-handler \"Front Desk Night\" on extension 1205: {")));
    r = sim({"add-object", "subscriber", "1205", "Ann Lee"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("voxaren-sim: Extension 1205 is already in use by the Call Handler \"Front Desk Night\".\n"));
    // Another server's subscriber may repeat the number: this server does not check it.
    r = sim({"add-object", "dialing-domain-subscriber", "1205", "Bo Ek"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    Recordset holders;
    holders.Open(QStringLiteral("SELECT DisplayName FROM vw_DTMFAccessID_DialingDomain WHERE DTMFAccessID='1205' "
                                "ORDER BY DisplayName"),
                 voxaren::kLocalConnection, adOpenKeyset);
    QStringList names;
    for (; !holders.IsEOF(); holders.MoveNext()) names << holders.Text(QStringLiteral("DisplayName"));
    EXPECT_EQ(names, (QStringList{"Bo Ek", "Front Desk Night"}));
    r = sim({"set-version", "5.0.0.0"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(text(QStringLiteral("Software\\Brightkeel"), QStringLiteral("Version Number")), QString::number(0x00050000));
}

TEST_F(VoxarenSimTest, RefusalsExitOneAndBadUsageTwo) {
    ProgramResult r = sim({"guests"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("run voxaren-sim init"))) << r.err.toStdString();
    init();
    EXPECT_EQ(sim({"leave-message", "404"}).exitCode, 1);
    for (const QStringList& args : {QStringList{}, QStringList{"frobnicate"}, QStringList{"messages"},
                                    QStringList{"add-object", "pager", "1", "X"}, QStringList{"guests", "--from", "x"},
                                    QStringList{"init", "--server-version", "4.0"}, QStringList{"set-version", "four"}}) {
        r = sim(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QLatin1String("voxaren-sim: ")) && r.err.endsWith(QLatin1String("; try 'voxaren-sim --help'\n")) &&
                    r.err.count(QLatin1Char('\n')) == 1)
            << r.err.toStdString();
    }
}

}  // namespace
