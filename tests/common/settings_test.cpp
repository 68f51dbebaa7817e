#include <gtest/gtest.h>

#include <QFile>

#include "common/AdminSettings.h"
#include "common/RegistryAPI.h"
#include "common/ServiceSettings.h"
#include "common/SettingsTable.h"
#include "platform/registry.h"
#include "tests/support/Programs.h"
#include "tests/support/TestEnvironment.h"

namespace {

using platform::RegValue;

QDateTime timeOfDay(int h, int m = 0) { return QDateTime(platform::datefmt::zeroDate(), QTime(h, m)); }

class SettingsTest : public StavioTest {
protected:
    platform::RegistryStore& store() { return platform::machineRegistry(); }
    void set(const char* name, const RegValue& value) {
        store().createKey(QLatin1String(kSettingsKey));
        store().setValue(QLatin1String(kSettingsKey), QLatin1String(name), value);
    }
    void setText(const char* name, const QString& text) { set(name, RegValue::sz(text)); }
    void setDword(const char* name, quint32 n) { set(name, RegValue::fromDword(n)); }
};

TEST_F(SettingsTest, MissingKeyReadsNothing) {
    ServiceSettings s;
    s.PrecipiaServerName = QStringLiteral("kept");
    s.LogRetentionDays = 99;
    EXPECT_FALSE(ReadRegistryKeys(s));
    EXPECT_EQ(s.PrecipiaServerName, QStringLiteral("kept"));
    EXPECT_EQ(s.LogRetentionDays, 99);
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(SettingsTest, ServiceDefaultsForAnEmptyKey) {
    store().createKey(QLatin1String(kSettingsKey));
    ServiceSettings s;
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_EQ(s.PrecipiaServerName, QString());
    EXPECT_EQ(s.LogRetentionDays, 10);
    EXPECT_EQ(s.MailboxArchiveDays, 10);
    EXPECT_EQ(s.SyncCycleMinutes, 10);
    EXPECT_FALSE(s.DebugMode);
    EXPECT_EQ(s.LogSweepStartTime, timeOfDay(2));
    EXPECT_EQ(s.LogSweepStopTime, timeOfDay(4));
    EXPECT_EQ(s.ArchiveMailboxStartTime, timeOfDay(1));
    EXPECT_EQ(s.ArchiveMailboxStopTime, timeOfDay(4));
    EXPECT_EQ(s.StreamFilesPath, QStringLiteral("stream files/"));
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(SettingsTest, UnreadableValuesAreLoggedAndKeepTheirPreviousValue) {
    setDword("Log Retention Days", 40000);
    setDword("Mailbox Archive Days", 3);
    setText("Log Sweep Start Time", QStringLiteral("half past two"));
    setText("Log Sweep Stop Time", QStringLiteral("1/1/2000 5:30:00 AM"));
    setDword("Syncronization Cycle Minutes", 0xFFFFFFFFu);  // -1 fits a 16-bit field

    ServiceSettings s;
    s.LogRetentionDays = 21;
    s.LogSweepStartTime = timeOfDay(6);
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_EQ(s.LogRetentionDays, 21);
    EXPECT_EQ(s.LogSweepStartTime, timeOfDay(6));
    EXPECT_EQ(s.MailboxArchiveDays, 3);
    EXPECT_EQ(s.SyncCycleMinutes, -1);
    EXPECT_EQ(s.LogSweepStopTime.time(), QTime(5, 30));
    EXPECT_EQ(eventTexts(),
              QStringList({QStringLiteral("(error):6 (Overflow) in procedure ReadRegistryKeys of Module Module1"),
                           QStringLiteral("(error):13 (Type mismatch) in procedure ReadRegistryKeys of Module Module1")}));
    EXPECT_EQ(events.entries[0].id, 4);
    EXPECT_EQ(events.entries[0].severity, platform::EventSeverity::Error);
}

TEST_F(SettingsTest, WelcomeMessageNeedsAnExistingWavFile) {
    setDword("Send Welcome Message", 1);
    ServiceSettings s;
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_FALSE(s.SendWelcomeMessage);

    const QString missing = path(QStringLiteral("welcome.wav"));
    setText("Welcome Message WAV File Path", missing);
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_FALSE(s.SendWelcomeMessage);
    EXPECT_EQ(eventTexts(),
              QStringList({QStringLiteral("(error): User opted to enable welcome message for guests but path to "
                                          "WAV file is missing.  Feature disabled."),
                           QStringLiteral("(error): User opted to enable welcome message for guests but path to "
                                          "WAV file is invalid.  Feature disabled.  Path=") + missing}));

    QFile wav(missing);
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.close();
    events.entries.clear();
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_TRUE(s.SendWelcomeMessage);
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(SettingsTest, StreamFilesFollowTheServerRootPath) {
    store().createKey(QLatin1String(kSettingsKey));
    store().createKey(QStringLiteral("SOFTWARE\\Brightkeel\\Corevane\\1.0"));
    store().setValue(QStringLiteral("software\\brightkeel\\corevane\\1.0"), QStringLiteral("Root Path"),
                     RegValue::sz(QStringLiteral("/opt/voxaren/")));
    ServiceSettings s;
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_EQ(s.StreamFilesPath, QStringLiteral("/opt/voxaren/stream files/"));
}

TEST_F(SettingsTest, ValueSetByAnotherProcessIsRead) {
    const QString key = QString::fromLatin1(kSettingsKey);
    ASSERT_EQ(runProgram(QStringLiteral("stavio-reg"),
                         {QStringLiteral("set"), key, QStringLiteral("Precipia Server Name"), QStringLiteral("sz"),
                          QStringLiteral("pms.hotel.lan")}).exitCode, 0);
    ASSERT_EQ(runProgram(QStringLiteral("stavio-reg"),
                         {QStringLiteral("set"), key, QStringLiteral("Debug Mode"), QStringLiteral("dword"),
                          QStringLiteral("1")}).exitCode, 0);
    ServiceSettings s;
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_EQ(s.PrecipiaServerName, QStringLiteral("pms.hotel.lan"));
    EXPECT_TRUE(s.DebugMode);
}

TEST_F(SettingsTest, FreshKeyFromTheAdministration) {
    const AdminSettings loaded = LoadAdminSettings(QStringLiteral("/opt/stavio"));
    EXPECT_TRUE(RegistryAPI::KeyExists(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey)));
    // The administration shows the template name it suggests ...
    EXPECT_EQ(loaded.SubscriberTemplateAlias, QStringLiteral("HotelGuestTemplate"));
    EXPECT_EQ(loaded.PrecipiaServerName, QStringLiteral(" "));
    EXPECT_EQ(loaded.PathToLogs, QStringLiteral("/opt/stavio/logs/"));
    EXPECT_EQ(loaded.LogRetentionDays, 14);
    EXPECT_EQ(loaded.MailboxArchiveDays, 7);
    EXPECT_EQ(loaded.SyncCycleMinutes, 1);
    EXPECT_EQ(loaded.LogSweepStartTime, QDateTime(QDate(2000, 1, 1), QTime(3, 0)));
    EXPECT_EQ(loaded.ArchiveMailboxStartTime, QDateTime(QDate(2000, 1, 1), QTime(2, 0)));
    EXPECT_FALSE(store().value(QLatin1String(kSettingsKey), QStringLiteral("Send Welcome Message")).has_value());
    // ... while the service still reads the blank that was stored.
    ServiceSettings s;
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_EQ(s.SubscriberTemplateAlias, QStringLiteral(" "));
    EXPECT_EQ(s.LogSweepStartTime, timeOfDay(2));  // the service's own default
}

TEST_F(SettingsTest, MissingValuesTakeEachProgramsOwnDefaults) {
    store().createKey(QLatin1String(kSettingsKey));
    const AdminSettings admin = LoadAdminSettings(folder());
    ServiceSettings service;
    ASSERT_TRUE(ReadRegistryKeys(service));
    EXPECT_EQ(std::make_tuple(admin.LogRetentionDays, admin.MailboxArchiveDays, admin.SyncCycleMinutes),
              std::make_tuple(14, 7, 1));
    EXPECT_EQ(std::make_tuple(service.LogRetentionDays, service.MailboxArchiveDays, service.SyncCycleMinutes),
              std::make_tuple(short(10), short(10), short(10)));
    EXPECT_EQ(admin.LogSweepStartTime.time(), QTime(3, 0));
    EXPECT_EQ(service.LogSweepStartTime.time(), QTime(2, 0));
    EXPECT_EQ(admin.ArchiveMailboxStartTime.time(), QTime(2, 0));
    EXPECT_EQ(service.ArchiveMailboxStartTime.time(), QTime(1, 0));
}

TEST_F(SettingsTest, SavedSettingsAreReadBackByBothPrograms) {
    AdminSettings a;
    a.PrecipiaServerName = QStringLiteral("/var/lib/stavio/ptceDB.sqlite");
    a.PathToLogs = QStringLiteral("/var/log/stavio/");
    a.SubscriberTemplateAlias = QStringLiteral("HotelGuestTemplate");
    a.LogRetentionDays = 30;
    a.MailboxArchiveDays = 5;
    a.SyncCycleMinutes = 2;
    a.DebugMode = true;
    a.LogSweepStartTime = QDateTime(QDate(2000, 1, 1), QTime(3, 15));
    a.LogSweepStopTime = QDateTime(QDate(2000, 1, 1), QTime(4, 0));
    a.ArchiveMailboxStartTime = QDateTime(QDate(2000, 1, 1), QTime(13, 0));
    a.ArchiveMailboxStopTime = QDateTime(QDate(2000, 1, 1), QTime(23, 59, 59));
    a.UseRoomNumberAsPassword = true;
    a.SkipPasswordFromRoom = true;
    setRegistryKeys(a, folder());

    EXPECT_EQ(store().value(QLatin1String(kSettingsKey), QStringLiteral("Log Sweep Start Time"))->text,
              QStringLiteral("1/1/2000 3:15:00 AM"));
    const AdminSettings b = LoadAdminSettings(folder());
    EXPECT_EQ(b.PathToLogs, a.PathToLogs);
    EXPECT_EQ(b.ArchiveMailboxStopTime, a.ArchiveMailboxStopTime);
    EXPECT_TRUE(b.UseRoomNumberAsPassword);
    EXPECT_EQ(b.LogRetentionDays, 30);

    ServiceSettings s;
    ASSERT_TRUE(ReadRegistryKeys(s));
    EXPECT_EQ(s.PrecipiaServerName, a.PrecipiaServerName);
    EXPECT_EQ(s.SyncCycleMinutes, 2);
    EXPECT_TRUE(s.DebugMode);
    EXPECT_TRUE(s.SkipPasswordFromRoom);
    EXPECT_EQ(s.ArchiveMailboxStartTime.time(), QTime(13, 0));
    EXPECT_EQ(s.ArchiveMailboxStopTime.time(), QTime(23, 59, 59));
}

TEST_F(SettingsTest, EachValueIsDeclaredOnceAndFoundByItsName) {
    const auto& table = settingsTable();
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(static_cast<size_t>(table[i].id), i) << table[i].name;
        EXPECT_EQ(findSetting(QString::fromLatin1(table[i].name).toUpper()), &table[i]) << table[i].name;
    }
    EXPECT_EQ(findSetting(QStringLiteral("Synchronization Cycle Minutes")), nullptr);  // the key's own spelling only
}

TEST_F(SettingsTest, MissingTimesTakeTheirDefaultsInAnyRegionalFormat) {
    environment().setRegionalFormat({QStringLiteral("d.M.yyyy"), QStringLiteral("HH:mm:ss")});
    store().createKey(QLatin1String(kSettingsKey));
    ServiceSettings service;
    ASSERT_TRUE(ReadRegistryKeys(service));
    EXPECT_EQ(service.LogSweepStartTime.time(), QTime(2, 0));
    EXPECT_EQ(service.ArchiveMailboxStartTime.time(), QTime(1, 0));
    EXPECT_TRUE(events.entries.empty()) << eventTexts().join(QLatin1Char('|')).toStdString();
    const AdminSettings admin = LoadAdminSettings(folder());
    EXPECT_EQ(admin.LogSweepStartTime, QDateTime(QDate(2000, 1, 1), QTime(3, 0)));
    setRegistryKeys(admin, folder());
    EXPECT_EQ(store().value(QLatin1String(kSettingsKey), QStringLiteral("Log Sweep Start Time"))->text,
              QStringLiteral("1.1.2000 03:00:00"));
}

}  // namespace
