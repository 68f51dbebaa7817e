#include "common/SettingsTable.h"

#include <QDateTime>

#include "common/RegistryAPI.h"
#include "platform/datefmt.h"

namespace {

int registryType(SettingKind kind) {
    return kind == SettingKind::Number || kind == SettingKind::Flag ? RegistryAPI::REG_DWORD : RegistryAPI::REG_SZ;
}

// Time defaults: the service's is a time of day alone ("2:00:00 AM"), the
// administration's carries the meaningless date it writes (1 January 2000).
QVariant serviceTime(int hour) { return QDateTime(platform::datefmt::zeroDate(), QTime(hour, 0)); }
QVariant adminTime(int hour) { return QDateTime(QDate(2000, 1, 1), QTime(hour, 0)); }

}  // namespace

const std::vector<SettingDefinition>& settingsTable() {
    using K = SettingKind;
    const QVariant none;
    const QString empty;
    static const std::vector<SettingDefinition> table{
        {Setting::PrecipiaServerName, "Precipia Server Name", K::Text, empty, empty, QStringLiteral(" ")},
        {Setting::PathToLogs, "Path to Logs", K::Text, empty, empty, QLatin1String(kAdminLogFolderMarker)},
        {Setting::SubscriberTemplateAlias, "Subscriber Template Alias", K::Text, empty, empty, QStringLiteral(" ")},
        {Setting::LogRetentionDays, "Log Retention Days", K::Number, 10, 14, 14},
        {Setting::MailboxArchiveDays, "Mailbox Archive Days", K::Number, 10, 7, 7},
        {Setting::SyncCycleMinutes, "Syncronization Cycle Minutes", K::Number, 10, 1, 1},
        {Setting::DebugMode, "Debug Mode", K::Flag, 0, 0, 0},
        {Setting::LogSweepStartTime, "Log Sweep Start Time", K::Time, serviceTime(2), adminTime(3), none},
        {Setting::LogSweepStopTime, "Log Sweep Stop Time", K::Time, serviceTime(4), adminTime(4), none},
        {Setting::ArchiveMailboxStartTime, "Archive Mailbox Start Time", K::Time, serviceTime(1), adminTime(2), none},
        {Setting::ArchiveMailboxStopTime, "Archive Mailbox Stop Time", K::Time, serviceTime(4), adminTime(4), none},
        {Setting::SkipPasswordFromRoom, "Skip Password From Room", K::Flag, 0, 0, 0},
        {Setting::SendWelcomeMessage, "Send Welcome Message", K::Flag, 0, 0, none},
        {Setting::WelcomeMessageWavFilePath, "Welcome Message WAV File Path", K::Text, empty, empty, none},
        // Check-in reads it from the key at each creation, with this default.
        {Setting::UseRoomNumberAsPassword, "Use Room Number As Password", K::Flag, 0, 0, none},
        {Setting::CurrentLogFile, "CurrentLogFile", K::Text, none, empty, none},
        {Setting::RemoteConnectionString, "RemoteConnectionString", K::Text, none, empty, none},
    };
    return table;
}

const SettingDefinition& settingDefinition(Setting id) { return settingsTable()[static_cast<size_t>(id)]; }

const SettingDefinition* findSetting(const QString& name) {
    for (const SettingDefinition& d : settingsTable())
        if (name.compare(QLatin1String(d.name), Qt::CaseInsensitive) == 0) return &d;
    return nullptr;
}

QVariant readSetting(Setting id, SettingsReader reader) {
    const SettingDefinition& d = settingDefinition(id);
    const QVariant def = reader == SettingsReader::Service ? d.serviceDefault : d.adminDefault;
    return RegistryAPI::QueryValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey),
                                   QLatin1String(d.name), registryType(d.kind), def);
}

void writeSetting(Setting id, const QVariant& value) {
    const SettingDefinition& d = settingDefinition(id);
    QVariant stored = value;
    if (d.kind == SettingKind::Time && value.metaType().id() == QMetaType::QDateTime)
        stored = platform::datefmt::generalDate(value.toDateTime());
    if (d.kind == SettingKind::Flag) stored = value.toBool() ? 1 : 0;
    RegistryAPI::SetValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey), QLatin1String(d.name),
                          registryType(d.kind), stored);
}
