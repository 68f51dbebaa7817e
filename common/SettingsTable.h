#pragma once
// Every value of the settings key "Software\Brightkeel\Stavio", declared once:
// its name, its type, the default the service assumes when it is missing, the
// administration's default, and what the administration writes when it
// creates the key. Every reader and writer of the key goes through here.
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

inline constexpr const char* kSettingsKey = "Software\\Brightkeel\\Stavio";

enum class Setting {
    PrecipiaServerName,
    PathToLogs,
    SubscriberTemplateAlias,
    LogRetentionDays,
    MailboxArchiveDays,
    SyncCycleMinutes,
    DebugMode,
    LogSweepStartTime,
    LogSweepStopTime,
    ArchiveMailboxStartTime,
    ArchiveMailboxStopTime,
    SkipPasswordFromRoom,
    SendWelcomeMessage,
    WelcomeMessageWavFilePath,
    UseRoomNumberAsPassword,
    CurrentLogFile,
    RemoteConnectionString,
};

enum class SettingKind {
    Text,    // REG_SZ
    Number,  // REG_DWORD
    Flag,    // REG_DWORD, 0 or 1 (any non-zero counts as on)
    Time,    // REG_SZ, a date and time in the regional format; only its time of day counts
};

// The administration writes "Path to Logs" at creation as its own folder + "/logs/".
inline constexpr const char* kAdminLogFolderMarker = "<admin folder>/logs/";

struct SettingDefinition {
    Setting id;
    const char* name;
    SettingKind kind;
    QVariant serviceDefault;  // invalid: the service does not read it with its settings
    QVariant adminDefault;
    QVariant createdValue;    // invalid: not written when the key is created
};

const std::vector<SettingDefinition>& settingsTable();
const SettingDefinition& settingDefinition(Setting id);
// The definition whose value name is `name` (letter case ignored), if any.
const SettingDefinition* findSetting(const QString& name);

// Whose default a missing value takes.
enum class SettingsReader { Service, Administration };

// The stored value (QString for text and times, qint32 for numbers and
// flags), or the reader's default when the key or value is missing (a
// QDateTime for times).
QVariant readSetting(Setting id, SettingsReader reader);
// Writes into the existing key (a missing key loses the write, as the
// registry wrapper does). Times are given as QDateTime and written as text.
void writeSetting(Setting id, const QVariant& value);
