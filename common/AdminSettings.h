#pragma once
// The settings as the administration edits them: created with their first
// values, loaded with the administration's defaults, and saved back.
#include <QDateTime>
#include <QString>

struct AdminSettings {
    QString PrecipiaServerName;
    QString PathToLogs;
    QString SubscriberTemplateAlias;
    qint32 LogRetentionDays = 14;
    qint32 MailboxArchiveDays = 7;
    qint32 SyncCycleMinutes = 1;
    bool DebugMode = false;
    QDateTime LogSweepStartTime;
    QDateTime LogSweepStopTime;
    QDateTime ArchiveMailboxStartTime;
    QDateTime ArchiveMailboxStopTime;
    bool UseRoomNumberAsPassword = false;
    bool SendWelcomeMessage = false;
    QString WelcomeMessageWavFilePath;
    bool SkipPasswordFromRoom = false;
    QString CurrentLogFile;
};

// The administration's default log folder: its own folder + "/logs/".
QString AdminDefaultLogFolder(const QString& adminFolder);

// The guest template the administration creates, and offers while none is chosen.
inline constexpr const char* kHotelGuestTemplateAlias = "HotelGuestTemplate";

// Creates the settings key with its first values.
void ConstructRegistryKeys(const QString& adminFolder);

// Writes every setting (creating the key first when it is missing).
void setRegistryKeys(const AdminSettings& settings, const QString& adminFolder);

// Creates the key when missing, then reads every value with the
// administration's defaults.
AdminSettings LoadAdminSettings(const QString& adminFolder);
