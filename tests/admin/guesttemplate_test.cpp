// The hotel guest class of service and template, built on the server stand-in.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

#include "admin/GuestTemplate.h"
#include "admin/core/AdminState.h"
#include "admin/localize/modLocalize.h"
#include "common/ErrorTrap.h"
#include "sim/voxaren/ServerAccess.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/ServerFixture.h"

using modLocalize::myLoadResString;

namespace {

const QString kNoOperator = QStringLiteral(
    "Error!  Could not find the operator call handler using alias='operatorch' in the database.  Construction of "
    "the default hotel guest template will use the opening greeting call handler instead.");
const QString kNoSchedule = QStringLiteral(
    "Error!  Could not find the 'All Hours - All Days' schedule in the database.  Construction of the default hotel "
    "guest template will use the schedule referenced in the default subscriber template.");
const QString kNoPrimaryHandler = QStringLiteral(
    "Error finding primary call handler for newly constructed hotel guest template.  Please contact Tolvane for "
    "assistance");
const QString kTemplateValues = QStringLiteral(
    "SELECT DisplayName, TextName, COSObjectID, ConversationName, GreetByName, ListInDirectory, PWDoesntExpire, "
    "PWMustChange, Undeletable, ExitAction, ExitConversation, ExitObjectID FROM SubscriberTemplate WHERE Alias=?");
const QString kTemplateSchedule = QStringLiteral(
    "SELECT c.ScheduleObjectName FROM CallHandler c JOIN SubscriberTemplate t "
    "ON t.CallHandlerObjectID = c.CallHandlerObjectID WHERE t.Alias=?");

class GuestTemplateTest : public AdminFixture<VoxarenTest> {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        adminState.voiceServerConnection = voxaren::kLocalConnection;
        showErrors();
    }

    void exec(const QString& sql) {
        QSqlQuery query(db());
        ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
    }
    // Every row the creation could write.
    QStringList snapshot() {
        QStringList all;
        for (const char* table : {"COS", "SubscriberTemplate", "CallHandler", "MessagingRule", "ContactRule"})
            all << rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QLatin1String(table)));
        return all;
    }
    QString id(const char* sql, const char* alias) { return value(QLatin1String(sql), {QLatin1String(alias)}).toString(); }
    QString cosId(const char* alias) { return id("SELECT COSObjectID FROM COS WHERE Alias=?", alias); }

};

TEST_F(GuestTemplateTest, CleanServerGetsCosCopiedFromTheDefaultAndATemplateForGuestsOnce) {
    // Settings where the default differs from the table's defaults and from the guest's fixed values.
    exec(QStringLiteral("UPDATE COS SET MaxMsgLength=120, MaxGreetingLength=45 WHERE Alias='defaultsubscriber'"));
    exec(QStringLiteral("UPDATE SubscriberTemplate SET Undeletable=1 WHERE Alias='DefaultTemplate'"));

    ASSERT_TRUE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    EXPECT_EQ(prompts->shown, QStringList());

    platform::db::Recordset guest = open(QStringLiteral("SELECT * FROM COS WHERE Alias='HotelGuestCOS'"));
    platform::db::Recordset base = open(QStringLiteral("SELECT * FROM COS WHERE Alias='defaultsubscriber'"));
    ASSERT_EQ(guest.RecordCount(), 1);
    const QVariantMap fixed = {{"TextName", "Hotel Guest COS"}, {"Alias", "HotelGuestCOS"}, {"CanRecordName", 0},
                               {"ListInDirectoryStatus", 0}, {"MoveToDeleteFolder", 1}, {"Undeletable", 0}};
    for (int i = 0; i < guest.FieldCount(); ++i) {
        const QString name = guest.FieldName(i);
        SCOPED_TRACE(name.toStdString());
        if (name == QLatin1String("COSObjectID") || name == QLatin1String("msrepl_tran_version"))
            EXPECT_NE(guest.Text(name), base.Text(name));
        else if (fixed.contains(name))
            EXPECT_EQ(guest.Text(name), fixed[name].toString());
        else
            EXPECT_EQ(guest.Value(name), base.Value(name));
    }

    const QString expected = QStringList{"Hotel Guest Template", "Hotel Guest Template", cosId("HotelGuestCOS"),
                                         "ConvHotel", "0", "0", "1", "0", "0", "2", "PHTransfer",
                                         id("SELECT CallHandlerObjectID FROM CallHandler WHERE Alias=?", "operatorch")}
                                 .join(QLatin1Char('|'));
    EXPECT_EQ(rows(kTemplateValues, {"HotelGuestTemplate"}), QStringList{expected});
    EXPECT_EQ(rows(kTemplateSchedule, {"HotelGuestTemplate"}), QStringList{"All Hours - All Days"});
    EXPECT_EQ(rows(kTemplateSchedule, {"DefaultTemplate"}), QStringList{"Weekdays"});

    const QStringList built = snapshot();
    EXPECT_TRUE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    EXPECT_EQ(snapshot(), built);
    EXPECT_EQ(prompts->shown, QStringList());
}

TEST_F(GuestTemplateTest, PresentTemplateEndsTheWorkBeforeAnythingElseIsRead) {
    // Aliases compare without regard to case on the server.
    platform::db::Command create = command(QStringLiteral("csp_SubscriberTemplateCreate"));
    create.SetParameter(QStringLiteral("@Alias"), QStringLiteral("hotelguesttemplate"));
    create.SetParameter(QStringLiteral("@TemplateOid"), id("SELECT SubscriberTemplateObjectID FROM SubscriberTemplate "
                                                           "WHERE Alias=?", "DefaultTemplate"));
    create.Execute();
    const QStringList before = snapshot();
    // Any later step would now fail, and its failure would be shown.
    exec(QStringLiteral("ALTER TABLE COS RENAME TO COS_away"));
    for (const char* view : {"vw_CallHandler_NonPrimary", "vw_CallHandler_Primary", "vw_Schedule"})
        exec(QStringLiteral("DROP VIEW %1").arg(QLatin1String(view)));

    EXPECT_TRUE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    EXPECT_EQ(prompts->shown, QStringList());
    exec(QStringLiteral("ALTER TABLE COS_away RENAME TO COS"));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(GuestTemplateTest, ExistingGuestCosIsTakenAsItIs) {
    exec(QStringLiteral("INSERT INTO COS (Alias, TextName, CanRecordName, MaxMsgLength) "
                        "VALUES ('HotelGuestCOS', 'Chosen by the front desk', 1, 42)"));
    const QStringList before = rows(QStringLiteral("SELECT * FROM COS ORDER BY rowid"));

    EXPECT_TRUE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    EXPECT_EQ(prompts->shown, QStringList());
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM COS ORDER BY rowid")), before);
    EXPECT_EQ(value(QStringLiteral("SELECT COSObjectID FROM SubscriberTemplate WHERE Alias='HotelGuestTemplate'")),
              cosId("HotelGuestCOS"));
}

// Without a single operator call handler the template exits as the default does.
class GuestTemplateOperatorTest : public GuestTemplateTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(GuestTemplateOperatorTest, TemplateKeepsTheCopiedExitAndIsStillBuilt) {
    exec(QLatin1String(GetParam()));
    EXPECT_TRUE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    EXPECT_EQ(prompts->shown, QStringList{kNoOperator});
    const QString exit = QStringLiteral("SELECT ExitAction, ExitConversation, ExitObjectID, ConversationName "
                                        "FROM SubscriberTemplate WHERE Alias=?");
    EXPECT_EQ(rows(exit, {"HotelGuestTemplate"}),
              QStringList{rows(exit, {"DefaultTemplate"}).value(0).replace("ConvSubscriber", "ConvHotel")});
    EXPECT_EQ(rows(kTemplateSchedule, {"HotelGuestTemplate"}), QStringList{"All Hours - All Days"});
}

INSTANTIATE_TEST_SUITE_P(
    Operator, GuestTemplateOperatorTest,
    ::testing::Values("DELETE FROM CallHandler WHERE Alias='operatorch'",
                      "INSERT INTO CallHandler (Alias, TextName) VALUES ('operatorch', 'Night Operator')"));

TEST_F(GuestTemplateTest, MissingScheduleLeavesTheCopiedOne) {
    exec(QStringLiteral("DELETE FROM Schedule WHERE DisplayName='All Hours - All Days'"));
    EXPECT_TRUE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    EXPECT_EQ(prompts->shown, QStringList{kNoSchedule});
    EXPECT_EQ(rows(kTemplateSchedule, {"HotelGuestTemplate"}), QStringList{"Weekdays"});
    EXPECT_EQ(value(QStringLiteral("SELECT ConversationName FROM SubscriberTemplate WHERE Alias='HotelGuestTemplate'")),
              QStringLiteral("ConvHotel"));
}

// A step the template needs fails: the result is false with the step's message.
struct Failure {
    const char* name;
    const char* setup;
    int stringId;  // 0: the text below
    QString text;
};

void PrintTo(const Failure& failure, std::ostream* os) { *os << failure.name; }

class GuestTemplateFailureTest : public GuestTemplateTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(GuestTemplateFailureTest, ReportsAndFails) {
    exec(QLatin1String(GetParam().setup));
    EXPECT_FALSE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    EXPECT_EQ(prompts->shown, QStringList{GetParam().stringId ? myLoadResString(GetParam().stringId) : GetParam().text});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, GuestTemplateFailureTest,
    ::testing::Values(
        Failure{"NoDefaultCos", "DELETE FROM COS WHERE Alias='defaultsubscriber'", 1055, {}},
        Failure{"NoDefaultTemplate", "DELETE FROM SubscriberTemplate WHERE Alias='DefaultTemplate'", 1056, {}},
        Failure{"NewCosNotFound",
                "CREATE TRIGGER hide AFTER INSERT ON COS BEGIN UPDATE COS SET Alias='Elsewhere' "
                "WHERE rowid=NEW.rowid; END",
                1047, {}},
        Failure{"NoPrimaryHandler",
                "CREATE TRIGGER demote AFTER INSERT ON SubscriberTemplate BEGIN UPDATE CallHandler SET IsPrimary=0 "
                "WHERE CallHandlerObjectID=NEW.CallHandlerObjectID; END",
                0, kNoPrimaryHandler}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GuestTemplateTest, FailingProcedureIsTrappedAndItsErrorShown) {
    exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON SubscriberTemplate "
                        "BEGIN SELECT RAISE(ABORT, 'template store is full'); END"));
    EXPECT_FALSE(CreateGuestCOSandTemplate(voxaren::kLocalConnection));
    ASSERT_EQ(prompts->shown.size(), 2);
    EXPECT_TRUE(prompts->shown[0].startsWith(QLatin1String("(error):")));
    EXPECT_TRUE(prompts->shown[0].endsWith(QLatin1String(") in procedure CreateGuestCOSandTemplate of Form frmMain")));
    EXPECT_TRUE(prompts->shown[1].startsWith(myLoadResString(1100)));
    EXPECT_TRUE(prompts->shown[1].contains(QLatin1String("template store is full")));
    EXPECT_EQ(value(QStringLiteral("SELECT count(*) FROM SubscriberTemplate")).toInt(), 1);
}

}  // namespace
