#pragma once
// The service's settings record and its reading from the settings key.
#include <QDateTime>
#include <QString>

#include "common/SettingsTable.h"
#include "platform/datefmt.h"

struct ServiceSettings {
    QString PrecipiaServerName;
    QString PathToLogs;
    QString SubscriberTemplateAlias;
    short LogRetentionDays = 0;
    short MailboxArchiveDays = 0;
    short SyncCycleMinutes = 0;
    bool DebugMode = false;
    QDateTime LogSweepStartTime{platform::datefmt::zeroDate(), QTime(0, 0)};
    QDateTime LogSweepStopTime{platform::datefmt::zeroDate(), QTime(0, 0)};
    QDateTime ArchiveMailboxStartTime{platform::datefmt::zeroDate(), QTime(0, 0)};
    QDateTime ArchiveMailboxStopTime{platform::datefmt::zeroDate(), QTime(0, 0)};
    bool SkipPasswordFromRoom = false;
    bool SendWelcomeMessage = false;
    QString WelcomeMessageWavFilePath;
    QString StreamFilesPath;

    // "Log Retention Days" as every pruning of log files counts it: a negative
    // number (possible through stavio-reg) counts as 0, keeping today's files.
    int logRetentionDays() const { return LogRetentionDays < 0 ? 0 : LogRetentionDays; }
};

// Reads the settings key into `settings` (the service's, normally).
// Returns false, reading nothing, when the key does not exist. A value that
// cannot be read is logged and leaves its setting as it was.
bool ReadRegistryKeys(ServiceSettings& settings);
