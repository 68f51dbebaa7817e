#include "common/AdminSettings.h"

#include "common/RegistryAPI.h"
#include "common/SettingsKey.h"
#include "platform/datefmt.h"

namespace {

using RegistryAPI::HKEY_LOCAL_MACHINE;

using settingskey::readDword;
using settingskey::readText;
using settingskey::writeDword;
using settingskey::writeText;

QString key() { return QLatin1String(kSettingsKey); }

void writeTime(const char* name, const QDateTime& value) {
    writeText(name, platform::datefmt::generalDate(value));
}

QDateTime defaultTime(int hour) { return QDateTime(QDate(2000, 1, 1), QTime(hour, 0)); }
QDateTime readTime(const char* name, int defaultHour) {
    const auto parsed = platform::datefmt::parseGeneralDate(readText(name, platform::datefmt::generalDate(defaultTime(defaultHour))));
    return parsed ? *parsed : defaultTime(defaultHour);
}

}  // namespace

QString AdminDefaultLogFolder(const QString& adminFolder) { return adminFolder + QStringLiteral("/logs/"); }

void ConstructRegistryKeys(const QString& adminFolder) {
    RegistryAPI::CreateKey(HKEY_LOCAL_MACHINE, key());
    writeText("Precipia Server Name", QStringLiteral(" "));
    writeText("Path to Logs", AdminDefaultLogFolder(adminFolder));
    writeText("Subscriber Template Alias", QStringLiteral(" "));
    writeDword("Log Retention Days", 14);
    writeDword("Mailbox Archive Days", 7);
    writeDword("Syncronization Cycle Minutes", 1);
    writeDword("Debug Mode", 0);
    writeDword("Skip Password From Room", 0);
}

void setRegistryKeys(const AdminSettings& s, const QString& adminFolder) {
    if (!RegistryAPI::KeyExists(HKEY_LOCAL_MACHINE, key())) ConstructRegistryKeys(adminFolder);
    writeText("Precipia Server Name", s.PrecipiaServerName);
    writeText("Path to Logs", s.PathToLogs);
    writeText("Subscriber Template Alias", s.SubscriberTemplateAlias);
    writeDword("Log Retention Days", s.LogRetentionDays);
    writeDword("Mailbox Archive Days", s.MailboxArchiveDays);
    writeDword("Syncronization Cycle Minutes", s.SyncCycleMinutes);
    writeDword("Debug Mode", s.DebugMode ? 1 : 0);
    writeTime("Log Sweep Start Time", s.LogSweepStartTime);
    writeTime("Log Sweep Stop Time", s.LogSweepStopTime);
    writeTime("Archive Mailbox Start Time", s.ArchiveMailboxStartTime);
    writeTime("Archive Mailbox Stop Time", s.ArchiveMailboxStopTime);
    writeDword("Use Room Number As Password", s.UseRoomNumberAsPassword ? 1 : 0);
    writeDword("Send Welcome Message", s.SendWelcomeMessage ? 1 : 0);
    writeText("Welcome Message WAV File Path", s.WelcomeMessageWavFilePath);
    writeDword("Skip Password From Room", s.SkipPasswordFromRoom ? 1 : 0);
}

AdminSettings LoadAdminSettings(const QString& adminFolder) {
    if (!RegistryAPI::KeyExists(HKEY_LOCAL_MACHINE, key())) ConstructRegistryKeys(adminFolder);
    AdminSettings s;
    s.PrecipiaServerName = readText("Precipia Server Name");
    s.PathToLogs = readText("Path to Logs");
    s.SubscriberTemplateAlias = readText("Subscriber Template Alias");
    if (s.SubscriberTemplateAlias.size() < 2) s.SubscriberTemplateAlias = QStringLiteral("HotelGuestTemplate");
    s.LogRetentionDays = readDword("Log Retention Days", 14);
    s.MailboxArchiveDays = readDword("Mailbox Archive Days", 7);
    s.SyncCycleMinutes = readDword("Syncronization Cycle Minutes", 1);
    s.DebugMode = readDword("Debug Mode", 0) != 0;
    s.LogSweepStartTime = readTime("Log Sweep Start Time", 3);
    s.LogSweepStopTime = readTime("Log Sweep Stop Time", 4);
    s.ArchiveMailboxStartTime = readTime("Archive Mailbox Start Time", 2);
    s.ArchiveMailboxStopTime = readTime("Archive Mailbox Stop Time", 4);
    s.SkipPasswordFromRoom = readDword("Skip Password From Room", 0) != 0;
    s.SendWelcomeMessage = readDword("Send Welcome Message", 0) != 0;
    s.WelcomeMessageWavFilePath = readText("Welcome Message WAV File Path");
    s.UseRoomNumberAsPassword = readDword("Use Room Number As Password", 0) != 0;
    s.CurrentLogFile = readText("CurrentLogFile");
    return s;
}
