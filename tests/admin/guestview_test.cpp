// The guest view: the list of hotel guests decoded from their aliases, the
// grid's columns, the row selection and the password reset.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <cstdlib>
#include <ctime>

#include "admin/core/guests/GuestList.h"
#include "admin/core/guests/GuestPassword.h"
#include "admin/localize/modLocalize.h"
#include "tests/admin/GuestViewFixture.h"

using modLocalize::englishString;
using Kind = Prompt::Kind;

namespace {

TEST_F(GuestViewTest, NoGuestsIsSaidAndTheGridKeepsWhatItShowed) {
    ASSERT_TRUE(open());
    EXPECT_EQ(prompts->shown, QStringList{englishString(1071)});
    EXPECT_EQ(prompts->kindOf(englishString(1071)), Kind::Information);
    EXPECT_EQ(guests()->rowCount(), 0);

    const QString ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
    click("cmdRefresh");
    ASSERT_EQ(guests()->rowCount(), 1);
    EXPECT_EQ(prompts->shown.size(), 1);

    QSqlDatabase server = db();
    QSqlQuery gone(server);
    ASSERT_TRUE(gone.exec(QStringLiteral("UPDATE Subscriber SET ConversationName = 'ConvSubscriber'")));
    click("cmdRefresh");
    EXPECT_EQ(prompts->shown, QStringList({englishString(1071), englishString(1071)}));
    EXPECT_EQ(guests()->rowCount(), 1);  // the grid keeps the guest it showed
    EXPECT_EQ(cell(ann, "Extension"), QStringLiteral("101"));
}

TEST_F(GuestViewTest, RowsAreDecodedFromAliasesAndExtensions) {
    const QString in = createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"), QStringLiteral("Ann"),
                                   QStringLiteral("Lee"));
    // An archived guest whose prefix is written in lower case, 17 characters of extension.
    const QString out = createGuest(QStringLiteral("10120000102000000"), QStringLiteral("out_ROOM86400_101"),
                                    QStringLiteral("Bo"), QStringLiteral("Ek"));
    // An archived guest whose extension is shorter than the stamp; no first name.
    const QString shortExt = createGuest(QStringLiteral("7"), QStringLiteral("OUT_ROOM90061_7"), QString(),
                                         QStringLiteral("Moe"));
    QSqlDatabase server = db();
    QSqlQuery noName(server);
    ASSERT_TRUE(noName.exec(QStringLiteral("UPDATE Subscriber SET FirstName = NULL, DisplayName = NULL WHERE Alias = "
                                           "'OUT_ROOM90061_7'")));
    ASSERT_TRUE(open());
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();

    ASSERT_EQ(guests()->rowCount(), 3);
    // Ordered by the server's extension text.
    EXPECT_EQ(rowOf(in), 0);
    EXPECT_EQ(rowOf(out), 1);
    EXPECT_EQ(rowOf(shortExt), 2);

    EXPECT_EQ(cell(in, "CheckedIn"), QStringLiteral("1"));
    EXPECT_EQ(cell(in, "Extension"), QStringLiteral("101"));
    EXPECT_EQ(cell(in, "FirstName"), QStringLiteral("Ann"));
    EXPECT_EQ(cell(in, "DisplayName"), QStringLiteral("Ann Lee - GUEST"));
    EXPECT_EQ(cell(in, "DateCheckedIn"), QStringLiteral("1/2/2000"));
    EXPECT_EQ(cell(in, "DateCheckedOut"), QString());

    EXPECT_EQ(cell(out, "CheckedIn"), QStringLiteral("0"));
    EXPECT_EQ(cell(out, "Extension"), QStringLiteral("101"));
    EXPECT_EQ(cell(out, "DateCheckedIn"), QString());
    EXPECT_EQ(cell(out, "DateCheckedOut"), QStringLiteral("1/2/2000"));

    EXPECT_EQ(cell(shortExt, "Extension"), QString());
    EXPECT_EQ(cell(shortExt, "FirstName"), QString());
    EXPECT_EQ(cell(shortExt, "LastName"), QStringLiteral("Moe"));
    EXPECT_EQ(cell(shortExt, "DisplayName"), QString());
    EXPECT_EQ(cell(shortExt, "DateCheckedOut"), QStringLiteral("1/2/2000 1:01:01 AM"));

    // The check box of the Checked In column.
    const int checkedIn = GuestGridModel::columnOf(QStringLiteral("CheckedIn"));
    EXPECT_EQ(guests()->index(rowOf(in), checkedIn).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(guests()->index(rowOf(out), checkedIn).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

TEST_F(GuestViewTest, TheGridShowsItsCaptionedColumnsAndHidesTheRest) {
    createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
    ASSERT_TRUE(open());
    QStringList shown;
    for (int c = 0; c < guests()->columnCount(); ++c)
        if (!grid()->isColumnHidden(c)) shown << guests()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(shown, QStringList({"Checked In", "Extension", "First Name", "Last Name", "Display Name",
                                  "Date Checked In", "Date Checked Out"}));
    EXPECT_TRUE(grid()->isColumnHidden(GuestGridModel::columnOf(QStringLiteral("SubscriberObjectID"))));
    EXPECT_EQ(guests()->columnCount(), 9);
    EXPECT_TRUE(grid()->isColumnHidden(0));
    // Sized to their contents once filled: the whole display name shows.
    const int displayName = GuestGridModel::columnOf(QStringLiteral("DisplayName"));
    EXPECT_GT(grid()->columnWidth(displayName), grid()->fontMetrics().horizontalAdvance(QStringLiteral("Ann Lee - GUEST")));

    EXPECT_EQ(view->windowTitle(), englishString(1039));
    EXPECT_EQ(button("cmdResetPassword")->text(), englishString(1086));
    EXPECT_EQ(button("cmdUncheckout")->text(), englishString(1117));
    EXPECT_EQ(button("cmdRefresh")->text(), englishString(1082));
    EXPECT_EQ(button("cmdExit")->text(), englishString(1049));
    EXPECT_EQ(view->minimumSize(), QSize(7905 / 15, 2520 / 15));
}

TEST_F(GuestViewTest, AnotherLanguagesHeadersKeepTheirColumnsWideEnough) {
    createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
    ASSERT_TRUE(open());
    adminEnv().setProgramFolder(
        QCoreApplication::applicationDirPath());  // the shipped language files
    modLocalize::setCurrentLanguage(1031);
    modLocalize::InitalizeLanguages();
    view->AutoInit();
    const int extension = GuestGridModel::columnOf(QStringLiteral("Extension"));
    EXPECT_EQ(guests()->headerData(extension, Qt::Horizontal).toString(), QStringLiteral("Nebenstelle"));
    EXPECT_GE(grid()->columnWidth(extension), grid()->horizontalHeader()->sectionSizeHint(extension));
    EXPECT_EQ(view->windowTitle(), modLocalize::myLoadResString(1039));
}

TEST_F(GuestViewTest, AGermanListShowsItsLastColumnWholeAndAWideWindowGivesItTheRoom) {
    createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"), QStringLiteral("Annemarie-Luise"),
                QStringLiteral("Lindenberger-Hohenstein"));
    adminEnv().setProgramFolder(
        QCoreApplication::applicationDirPath());  // the shipped language files
    modLocalize::setCurrentLanguage(1031);
    modLocalize::InitalizeLanguages();
    ASSERT_TRUE(open());
    QApplication::processEvents();
    QHeaderView* header = grid()->horizontalHeader();
    const int last = GuestGridModel::columnOf(QStringLiteral("DateCheckedOut"));
    EXPECT_LE(header->sectionViewportPosition(last) + header->sectionSizeHint(last), grid()->viewport()->width())
        << header->sectionViewportPosition(last) << "+" << header->sectionSizeHint(last) << " window " << view->width();

    view->resize(2400, view->height());
    QApplication::processEvents();
    EXPECT_EQ(header->sectionViewportPosition(last) + header->sectionSize(last), grid()->viewport()->width());
}

TEST_F(GuestViewTest, TheServersOrderStaysUntilAHeaderIsClickedAndRoomsThenSortAsNumbers) {
    // Checked in on 2, 11 and 10 January 2000: as text, 1/10 and 1/11 come before 1/2.
    for (const auto& [room, seconds] : {std::pair{"1019", 86400}, std::pair{"102", 864000}, std::pair{"1020", 777600}})
        createGuest(QLatin1String(room), QStringLiteral("ROOM%1_%2").arg(seconds).arg(QLatin1String(room)));
    ASSERT_TRUE(open());
    const int extension = GuestGridModel::columnOf(QStringLiteral("Extension"));
    const auto extensions = [&] {
        QStringList shownRooms;
        for (int r = 0; r < shown()->rowCount(); ++r) shownRooms << shown()->index(r, extension).data().toString();
        return shownRooms;
    };
    EXPECT_EQ(extensions(), (QStringList{"1019", "102", "1020"}));  // ORDER BY DTMFAccessID, as the server sorts text
    QHeaderView* header = grid()->horizontalHeader();
    const QPoint onExtension(header->sectionViewportPosition(extension) + 4, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onExtension);
    EXPECT_EQ(extensions(), (QStringList{"102", "1019", "1020"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onExtension);
    EXPECT_EQ(extensions(), (QStringList{"1020", "1019", "102"}));
    const int checkedIn = GuestGridModel::columnOf(QStringLiteral("DateCheckedIn"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(checkedIn) + 4, header->height() / 2));
    EXPECT_EQ(extensions(), (QStringList{"1019", "1020", "102"}));  // by date
}

TEST_F(GuestViewTest, SelectingAnArchivedGuestEnablesUncheckoutAndACheckedInOneDisablesIt) {
    const QString in = createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
    const QString out = archivedGuest(QStringLiteral("102"), 86400, QStringLiteral("Bo"), QStringLiteral("Ek"));
    ASSERT_TRUE(open());
    EXPECT_FALSE(button("cmdUncheckout")->isEnabled());
    select(out);
    EXPECT_TRUE(button("cmdUncheckout")->isEnabled());
    select(in);
    EXPECT_FALSE(button("cmdUncheckout")->isEnabled());
    select(out);
    click("cmdRefresh");  // the new rows have no selection
    EXPECT_FALSE(button("cmdUncheckout")->isEnabled());

    adminState.remote = true;  // restores are made on the server's own machine only
    select(out);
    EXPECT_FALSE(button("cmdUncheckout")->isEnabled());
}

// GetDateFromString counts the seconds on the calendar as the aliases do, in
// whatever time zone the machine lies.
TEST_F(GuestViewTest, DatesCountSecondsFromTheStartOf2000) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    EXPECT_EQ(GetDateFromString(QStringLiteral("86400")), QDateTime(QDate(2000, 1, 2), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(GetDateFromString(QString()), QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(GetDateFromString(QStringLiteral("61_1205")), QDateTime(QDate(2000, 1, 1), QTime(0, 1, 1), Qt::UTC));
    EXPECT_EQ(GetDateFromString(QStringLiteral("x61")), QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC));
    // 11 March 2007 2:30 AM does not exist on New York's clocks; the alias counts it all the same.
    EXPECT_EQ(GetDateFromString(QStringLiteral("226895400")), QDateTime(QDate(2007, 3, 11), QTime(2, 30), Qt::UTC));
    EXPECT_TRUE(prompts->shown.isEmpty());
    // Beyond the last representable date: the trap's message, and the start of 2000.
    EXPECT_EQ(GetDateFromString(QStringLiteral("999999999999")), QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(prompts->shown, QStringList{QStringLiteral("(error):5 (Invalid procedure call or argument) in procedure "
                                                         "GetDateFromString of Form frmGuestView")});
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

TEST_F(GuestViewTest, PasswordsAreThreeToTenDigits) {
    EXPECT_EQ(checkGuestPassword(QString()), PasswordProblem::Blank);
    EXPECT_EQ(checkGuestPassword(QStringLiteral("12")), PasswordProblem::Length);
    EXPECT_EQ(checkGuestPassword(QStringLiteral("12345678901")), PasswordProblem::Length);
    EXPECT_EQ(checkGuestPassword(QStringLiteral("12a4")), PasswordProblem::NotDigits);
    // What a phone cannot dial, however numeric it reads.
    EXPECT_EQ(checkGuestPassword(QStringLiteral("1e5")), PasswordProblem::NotDigits);
    EXPECT_EQ(checkGuestPassword(QStringLiteral("+123")), PasswordProblem::NotDigits);
    EXPECT_EQ(checkGuestPassword(QStringLiteral(" 123")), PasswordProblem::NotDigits);
    EXPECT_EQ(checkGuestPassword(QStringLiteral("123")), PasswordProblem::None);
    EXPECT_EQ(checkGuestPassword(QStringLiteral("9999999999")), PasswordProblem::None);
}

class PasswordResetTest : public GuestViewTest {
protected:
    void SetUp() override {
        GuestViewTest::SetUp();
        ann = createGuest(QStringLiteral("101"), QStringLiteral("ROOM86400_101"));
        ASSERT_TRUE(open());
        select(ann);
        prompts->shown.clear();
    }
    QString password() { return value(QStringLiteral("SELECT PWDTMF FROM Subscriber WHERE SubscriberObjectID=?"), {ann}).toString(); }
    QString ann;
};

TEST_F(PasswordResetTest, RefusedPasswordsChangeNothing) {
    prompts->inputs = {QStringLiteral("12"), QStringLiteral("12345678901"), QStringLiteral("12a4")};
    for (int i = 0; i < 3; ++i) click("cmdResetPassword");
    const QString ask = englishString(1050);
    EXPECT_EQ(prompts->shown, QStringList({ask, englishString(1108), ask, englishString(1108), ask, englishString(1109)}));
    EXPECT_EQ(password(), QString());
    EXPECT_TRUE(adminLogLines().isEmpty()) << adminLogLines().join(QLatin1Char('|')).toStdString();
}

TEST_F(PasswordResetTest, AcceptedPasswordsReachTheServerAfterConfirmation) {
    for (const QString& entered : {QStringLiteral("123"), QStringLiteral("9876543210")}) {
        prompts->shown.clear();
        prompts->titles.clear();
        prompts->inputs = {entered};
        prompts->answers = {true};
        click("cmdResetPassword");
        EXPECT_EQ(prompts->shown, QStringList({englishString(1050),
                                               englishString(1027) + QStringLiteral("Ann Lee - GUEST") + englishString(1022),
                                               englishString(1078)}));
        EXPECT_EQ(prompts->titles, QStringList({englishString(1069), englishString(1042)}));
        EXPECT_EQ(password(), entered);
    }
    const QString start = QStringLiteral("Starting password reset process for subscriber with ObjectID=") + ann;
    EXPECT_EQ(adminLogLines(), QStringList({"********************", start, "    Password update completed", "",
                                            "********************", start, "    Password update completed", ""}));
}

TEST_F(PasswordResetTest, CancelWritesOnlyItsLogLine) {
    prompts->inputs = {std::nullopt, QString()};  // Cancel, then OK on an empty box
    click("cmdResetPassword");
    click("cmdResetPassword");
    EXPECT_EQ(prompts->shown, QStringList({englishString(1050), englishString(1050)}));
    EXPECT_EQ(adminLogLines(), QStringList({"    User entered a blank password, exiting",
                                            "    User entered a blank password, exiting"}));

    prompts->inputs = {QStringLiteral("4321")};
    prompts->answers = {false};  // not confirmed
    click("cmdResetPassword");
    EXPECT_EQ(password(), QString());
    EXPECT_EQ(adminLogLines().size(), 2);
}

TEST_F(PasswordResetTest, AFailingResetIsReportedAndNotCalledDone) {
    environment().setVoiceServer(environment().voiceServerResolver(), std::make_shared<RefusingModify>());
    prompts->inputs = {QStringLiteral("4321")};
    prompts->answers = {true};
    click("cmdResetPassword");
    const QString error = QStringLiteral("(error):50000 (The subscriber is locked by another administrator) in procedure "
                                         "cmdResetPassword_Click of Form frmGuestView");
    EXPECT_EQ(prompts->shown.mid(2), QStringList{error});
    EXPECT_EQ(prompts->kindOf(error), Kind::Error);
    EXPECT_FALSE(prompts->shown.contains(englishString(1078)));
    const QStringList log = adminLogLines();
    EXPECT_FALSE(log.contains(QStringLiteral("    Password update completed")));
    EXPECT_TRUE(log.contains(QStringLiteral("    Password update failed: The subscriber is locked by another administrator")))
        << log.join(QLatin1Char('|')).toStdString();
}

TEST_F(PasswordResetTest, AfterRefreshNoRowIsSelectedAndResetActsOnNone) {
    click("cmdRefresh");
    // The grid has a current row (the focus gives it one), yet none is selected.
    grid()->selectionModel()->setCurrentIndex(shown()->index(0, 2), QItemSelectionModel::NoUpdate);
    click("cmdResetPassword");
    EXPECT_EQ(prompts->shown, QStringList{englishString(1064)});
    select(ann);
    prompts->shown.clear();
    click("cmdResetPassword");  // unscripted: a blank answer
    EXPECT_EQ(prompts->shown, QStringList{englishString(1050)});
}

TEST_F(PasswordResetTest, AGuestGoneSinceTheListWasReadIsNotCalledUpdated) {
    QSqlDatabase server = db();
    QSqlQuery gone(server);
    ASSERT_TRUE(gone.exec(QStringLiteral("DELETE FROM Subscriber")));
    prompts->inputs = {QStringLiteral("4321")};
    prompts->answers = {true};
    click("cmdResetPassword");
    EXPECT_EQ(prompts->shown.mid(2), QStringList{englishString(1046)});
    EXPECT_FALSE(adminLogLines().contains(QStringLiteral("    Password update completed")));
}

}  // namespace
