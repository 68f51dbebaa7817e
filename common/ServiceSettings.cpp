#include "common/ServiceSettings.h"

#include <QFileInfo>

#include "common/ErrorTrap.h"
#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "common/modLogging.h"

namespace {

QVariant read(Setting id) { return readSetting(id, SettingsReader::Service); }

// Numbers are kept in signed 16-bit fields.
short readShort(Setting id) {
    const qint32 value = read(id).toInt();
    if (value < -32768 || value > 32767) throw platform::Error(errnum::Overflow, QStringLiteral("Overflow"));
    return static_cast<short>(value);
}

bool readFlag(Setting id) { return read(id).toInt() != 0; }

QDateTime readTime(Setting id) {
    const QVariant value = read(id);
    if (value.metaType().id() == QMetaType::QDateTime) return value.toDateTime();  // the default
    const auto parsed = platform::datefmt::parseGeneralDate(value.toString());
    if (!parsed) throw platform::Error(errnum::TypeMismatch, QStringLiteral("Type mismatch"));
    return *parsed;
}

void disableWelcomeMessage(ServiceSettings& settings, const QString& text) {
    settings.SendWelcomeMessage = false;
    modLogging::LogServiceEvent(modLogging::EVENT_ERROR, modLogging::SEVERITY_ERROR, text, true);
}

}  // namespace

bool ReadRegistryKeys(ServiceSettings& s) {
    ErrorTrap trap("ReadRegistryKeys", "Module", "Module1");
    if (!RegistryAPI::KeyExists(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey))) return false;

    trap.step([&] { s.PrecipiaServerName = read(Setting::PrecipiaServerName).toString(); });
    trap.step([&] { s.PathToLogs = read(Setting::PathToLogs).toString(); });
    trap.step([&] { s.SubscriberTemplateAlias = read(Setting::SubscriberTemplateAlias).toString(); });
    trap.step([&] { s.LogRetentionDays = readShort(Setting::LogRetentionDays); });
    trap.step([&] { s.MailboxArchiveDays = readShort(Setting::MailboxArchiveDays); });
    trap.step([&] { s.SyncCycleMinutes = readShort(Setting::SyncCycleMinutes); });
    trap.step([&] { s.DebugMode = readFlag(Setting::DebugMode); });
    trap.step([&] { s.LogSweepStartTime = readTime(Setting::LogSweepStartTime); });
    trap.step([&] { s.LogSweepStopTime = readTime(Setting::LogSweepStopTime); });
    trap.step([&] { s.ArchiveMailboxStartTime = readTime(Setting::ArchiveMailboxStartTime); });
    trap.step([&] { s.ArchiveMailboxStopTime = readTime(Setting::ArchiveMailboxStopTime); });
    trap.step([&] { s.SkipPasswordFromRoom = readFlag(Setting::SkipPasswordFromRoom); });
    trap.step([&] { s.SendWelcomeMessage = readFlag(Setting::SendWelcomeMessage); });
    trap.step([&] { s.WelcomeMessageWavFilePath = read(Setting::WelcomeMessageWavFilePath).toString(); });

    trap.step([&] {
        if (!s.SendWelcomeMessage) return;
        if (s.WelcomeMessageWavFilePath.isEmpty()) {
            disableWelcomeMessage(
                s, QStringLiteral("(error): User opted to enable welcome message for guests but "
                                  "path to WAV file is missing.  Feature disabled."));
        } else if (!QFileInfo(s.WelcomeMessageWavFilePath).isFile()) {
            disableWelcomeMessage(
                s, QStringLiteral("(error): User opted to enable welcome message for guests but "
                                  "path to WAV file is invalid.  Feature disabled.  Path=") +
                       s.WelcomeMessageWavFilePath);
        }
    });

    trap.step([&] {
        const QString root = RegistryAPI::QueryValue(
            RegistryAPI::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Brightkeel\\Corevane\\1.0"),
            QStringLiteral("Root Path"), RegistryAPI::REG_SZ, QString()).toString();
        s.StreamFilesPath = root + QStringLiteral("stream files/");
    });
    return true;
}
