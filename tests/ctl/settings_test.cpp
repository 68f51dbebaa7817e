// stavioctl's command line and its settings: written as the settings window
// saves them, refused with the window's own messages, changing nothing then.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <QFile>

#include "admin/core/localize/StringTable.h"
#include "tests/ctl/CtlFixture.h"

namespace {

QString english(int id) { return englishTable().value(id); }

class CtlSettingsTest : public CtlTest {
protected:
    void SetUp() override {
        CtlTest::SetUp();
        storeText("Path to Logs", folder() + QLatin1Char('/'));
        storeText("Subscriber Template Alias", QStringLiteral("HotelGuestTemplate"));
    }
    // Expects stavioctl to refuse with exactly this message and exit status 1.
    void expectRefused(const QStringList& arguments, const QString& message) {
        const ProgramResult r = ctl(arguments);
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        EXPECT_EQ(r.err, QStringLiteral("stavioctl: ") + message + QLatin1Char('\n'));
        EXPECT_EQ(r.out, QString());
    }
};

TEST_F(CtlSettingsTest, ShowListsEverySettingByItsValueNameWithItsValue) {
    storeText("Precipia Server Name", QStringLiteral("pms.hotel.lan"));
    const ProgramResult r = ctl({QStringLiteral("settings"), QStringLiteral("show")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 17);
    EXPECT_TRUE(lines.contains(QStringLiteral("Precipia Server Name\tpms.hotel.lan")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Log Retention Days\t14")));  // the administration's default
    EXPECT_TRUE(lines.contains(QStringLiteral("Archive Mailbox Start Time\t1/1/2000 2:00:00 AM")));

    const ProgramResult json = ctl({QStringLiteral("settings"), QStringLiteral("show"), QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject settings = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(settings.size(), 17);
    EXPECT_EQ(settings[QStringLiteral("Precipia Server Name")], QJsonValue(QStringLiteral("pms.hotel.lan")));
    EXPECT_EQ(settings[QStringLiteral("Log Retention Days")], QJsonValue(14));
}

TEST_F(CtlSettingsTest, SetWritesTheValueAsTheWindowSavesIt) {
    ProgramResult r = ctl({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("Log Retention Days"),
                           QStringLiteral("30")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, english(1097) + QLatin1Char('\n'));
    EXPECT_EQ(setting("Log Retention Days"), QStringLiteral("30"));
    // The names are matched without regard to case; times take a 24-hour time.
    r = ctl({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("log sweep start time"), QStringLiteral("01:30")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(setting("Log Sweep Start Time"), QStringLiteral("1/1/2000 1:30:00 AM"));
    // The log folder is saved ending with "/"; one that does not exist is a warning.
    r = ctl({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("Path to Logs"), path(QStringLiteral("gone"))});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(setting("Path to Logs"), path(QStringLiteral("gone/")));
    EXPECT_EQ(r.err, QStringLiteral("stavioctl: ") + english(1156) + path(QStringLiteral("gone/")) + QLatin1Char('\n'));
}

TEST_F(CtlSettingsTest, ValuesTheWindowWouldNotSaveAreRefusedAndNothingChanges) {
    const QString retention = setting("Log Retention Days");
    const QString archiveStart = setting("Archive Mailbox Start Time");
    const auto set = [](const char* name, const QString& value) {
        return QStringList{QStringLiteral("settings"), QStringLiteral("set"), QLatin1String(name), value};
    };
    expectRefused(set("Log Retention Days", QStringLiteral("4")), QStringLiteral("Log Retention Days must be a whole number from 5 to 90."));
    expectRefused(set("Syncronization Cycle Minutes", QStringLiteral("21")),
                  QStringLiteral("Syncronization Cycle Minutes must be a whole number from 1 to 20."));
    expectRefused(set("Log Retention Days", QStringLiteral("ten")), QStringLiteral("Log Retention Days takes a whole number"));
    expectRefused(set("Debug Mode", QStringLiteral("2")), QStringLiteral("Debug Mode takes 0 or 1"));
    // The archive window ends at 4:00: a start at 4:00 is not before it.
    expectRefused(set("Archive Mailbox Start Time", QStringLiteral("04:00")), english(1107));
    expectRefused(set("Log Sweep Stop Time", QStringLiteral("02:59")), english(1106));
    expectRefused(set("Subscriber Template Alias", QStringLiteral(" ")), english(1148));
    // A system folder, whose other files a log folder's owner does not keep.
    for (const char* folder : {"/", "/etc/stavio", "/usr/../var/", "var/log"})
        expectRefused(set("Path to Logs", QLatin1String(folder)), english(1154) + QLatin1String(folder));
    expectRefused(set("CurrentLogFile", QStringLiteral("/tmp/x")),
                  QStringLiteral("CurrentLogFile is not set by hand: the service (or the guest view) writes it"));
    // A folder the service's account cannot write, or cannot see from its sandbox (a private /tmp).
    const QString unreachable = path(QStringLiteral("logs-of-nobody"));
    const ProgramResult asNobody = ctl(set("Path to Logs", unreachable), {QStringLiteral("STAVIO_SERVICE_ACCOUNT=nobody")});
    EXPECT_EQ(asNobody.exitCode, 1);
    EXPECT_EQ(asNobody.err, QStringLiteral("stavioctl: ") + english(1155) + QStringLiteral("nobody, ") + unreachable +
                                QLatin1Char('\n'));
    EXPECT_EQ(setting("Log Retention Days"), retention);
    EXPECT_EQ(setting("Archive Mailbox Start Time"), archiveStart);
    EXPECT_EQ(setting("Subscriber Template Alias"), QStringLiteral("HotelGuestTemplate"));
    EXPECT_EQ(setting("Debug Mode"), QStringLiteral("0"));
}

TEST_F(CtlSettingsTest, TheWelcomeMessageNeedsAnExistingWavFile) {
    const auto set = [](const char* name, const QString& value) {
        return QStringList{QStringLiteral("settings"), QStringLiteral("set"), QLatin1String(name), value};
    };
    expectRefused(set("Send Welcome Message", QStringLiteral("1")),
                  QStringLiteral("You must select a WAV file to be left as a voice mail message for new guests if you "
                                 "wish to use that option."));
    storeText("Welcome Message WAV File Path", path(QStringLiteral("missing.wav")));
    expectRefused(set("Send Welcome Message", QStringLiteral("1")),
                  QStringLiteral("Cannot find the selected WAV file for the welcome message for new guests"));
    QFile mp3(path(QStringLiteral("welcome.mp3")));
    ASSERT_TRUE(mp3.open(QIODevice::WriteOnly));
    mp3.close();
    storeText("Welcome Message WAV File Path", mp3.fileName());
    expectRefused(set("Send Welcome Message", QStringLiteral("1")),
                  QStringLiteral("You can only select a .WAV file to act as the welcome message for new guests"));
    EXPECT_EQ(setting("Send Welcome Message"), QStringLiteral("0"));

    QFile wav(path(QStringLiteral("welcome.Wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.close();
    EXPECT_EQ(ctl(set("Welcome Message WAV File Path", wav.fileName())).exitCode, 0);
    EXPECT_EQ(ctl(set("Send Welcome Message", QStringLiteral("1"))).exitCode, 0);
    EXPECT_EQ(setting("Send Welcome Message"), QStringLiteral("1"));
}

TEST_F(CtlSettingsTest, BadUsageExitsWithTwoAndHelpWithZero) {
    for (const QStringList& bad : {QStringList{}, QStringList{QStringLiteral("frobnicate")},
                                   QStringList{QStringLiteral("guests"), QStringLiteral("--all")},
                                   QStringList{QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("Nope"), QStringLiteral("1")},
                                   QStringList{QStringLiteral("settings"), QStringLiteral("get")},
                                   QStringList{QStringLiteral("report"), QStringLiteral("archived"), QStringLiteral("--from")},
                                   QStringList{QStringLiteral("report"), QStringLiteral("archived"), QStringLiteral("--from"),
                                               QStringLiteral("1.3.2026"), QStringLiteral("--to"), QStringLiteral("2026-03-01")},
                                   QStringList{QStringLiteral("password"), QStringLiteral("101")}}) {
        const ProgramResult r = ctl(bad);
        EXPECT_EQ(r.exitCode, 2) << bad.join(QLatin1Char(' ')).toStdString();
        // One line, but for no command at all: then the program's help.
        if (!bad.isEmpty()) {
            EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        }
    }
    const ProgramResult help = ctl({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"status", "settings", "guests", "password", "uncheckout", "report", "log", "start", "stop"})
        EXPECT_TRUE(help.out.contains(QStringLiteral("\n  %1 ").arg(QLatin1String(command)))) << command;
    const ProgramResult byHelp = ctl({QStringLiteral("help"), QStringLiteral("uncheckout")});
    const ProgramResult byOption = ctl({QStringLiteral("uncheckout"), QStringLiteral("--help")});
    EXPECT_EQ(byHelp.exitCode, 0);
    EXPECT_TRUE(byHelp.out.startsWith(QStringLiteral("Usage: stavioctl uncheckout ALIAS [--yes]\n")));
    EXPECT_EQ(byOption.out, byHelp.out);
}

}  // namespace
