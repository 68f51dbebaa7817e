#include "common/AdminSettings.h"

#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "platform/datefmt.h"

namespace {

QVariant read(Setting id) { return readSetting(id, SettingsReader::Administration); }

// A time that does not convert takes the administration's default.
QDateTime readTime(Setting id) {
    const QVariant value = read(id);
    const auto parsed = value.metaType().id() == QMetaType::QDateTime
                            ? std::optional<QDateTime>(value.toDateTime())
                            : platform::datefmt::parseGeneralDate(value.toString());
    return parsed ? *parsed : settingDefinition(id).adminDefault.toDateTime();
}

}  // namespace

QString AdminDefaultLogFolder(const QString& adminFolder) { return adminFolder + QStringLiteral("/logs/"); }

void ConstructRegistryKeys(const QString& adminFolder) {
    RegistryAPI::CreateKey(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey));
    for (const SettingDefinition& d : settingsTable()) {
        if (!d.createdValue.isValid()) continue;
        const bool logFolder = d.createdValue.toString() == QLatin1String(kAdminLogFolderMarker);
        writeSetting(d.id, logFolder ? QVariant(AdminDefaultLogFolder(adminFolder)) : d.createdValue);
    }
}

void setRegistryKeys(const AdminSettings& s, const QString& adminFolder) {
    if (!RegistryAPI::KeyExists(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey)))
        ConstructRegistryKeys(adminFolder);
    writeSetting(Setting::PrecipiaServerName, s.PrecipiaServerName);
    writeSetting(Setting::PathToLogs, s.PathToLogs);
    writeSetting(Setting::SubscriberTemplateAlias, s.SubscriberTemplateAlias);
    writeSetting(Setting::LogRetentionDays, s.LogRetentionDays);
    writeSetting(Setting::MailboxArchiveDays, s.MailboxArchiveDays);
    writeSetting(Setting::SyncCycleMinutes, s.SyncCycleMinutes);
    writeSetting(Setting::DebugMode, s.DebugMode);
    writeSetting(Setting::LogSweepStartTime, s.LogSweepStartTime);
    writeSetting(Setting::LogSweepStopTime, s.LogSweepStopTime);
    writeSetting(Setting::ArchiveMailboxStartTime, s.ArchiveMailboxStartTime);
    writeSetting(Setting::ArchiveMailboxStopTime, s.ArchiveMailboxStopTime);
    writeSetting(Setting::UseRoomNumberAsPassword, s.UseRoomNumberAsPassword);
    writeSetting(Setting::SendWelcomeMessage, s.SendWelcomeMessage);
    writeSetting(Setting::WelcomeMessageWavFilePath, s.WelcomeMessageWavFilePath);
    writeSetting(Setting::SkipPasswordFromRoom, s.SkipPasswordFromRoom);
}

AdminSettings LoadAdminSettings(const QString& adminFolder) {
    if (!RegistryAPI::KeyExists(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey)))
        ConstructRegistryKeys(adminFolder);
    AdminSettings s;
    s.PrecipiaServerName = read(Setting::PrecipiaServerName).toString();
    s.PathToLogs = read(Setting::PathToLogs).toString();
    s.SubscriberTemplateAlias = read(Setting::SubscriberTemplateAlias).toString();
    if (s.SubscriberTemplateAlias.size() < 2) s.SubscriberTemplateAlias = QLatin1String(kHotelGuestTemplateAlias);
    s.LogRetentionDays = read(Setting::LogRetentionDays).toInt();
    s.MailboxArchiveDays = read(Setting::MailboxArchiveDays).toInt();
    s.SyncCycleMinutes = read(Setting::SyncCycleMinutes).toInt();
    s.DebugMode = read(Setting::DebugMode).toInt() != 0;
    s.LogSweepStartTime = readTime(Setting::LogSweepStartTime);
    s.LogSweepStopTime = readTime(Setting::LogSweepStopTime);
    s.ArchiveMailboxStartTime = readTime(Setting::ArchiveMailboxStartTime);
    s.ArchiveMailboxStopTime = readTime(Setting::ArchiveMailboxStopTime);
    s.SkipPasswordFromRoom = read(Setting::SkipPasswordFromRoom).toInt() != 0;
    s.SendWelcomeMessage = read(Setting::SendWelcomeMessage).toInt() != 0;
    s.WelcomeMessageWavFilePath = read(Setting::WelcomeMessageWavFilePath).toString();
    s.UseRoomNumberAsPassword = read(Setting::UseRoomNumberAsPassword).toInt() != 0;
    s.CurrentLogFile = read(Setting::CurrentLogFile).toString();
    return s;
}
