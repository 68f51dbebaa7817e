#include "common/ServiceSettings.h"

#include <QFileInfo>

#include "common/ErrorTrap.h"
#include "common/RegistryAPI.h"
#include "common/ServiceState.h"
#include "common/modLogging.h"

namespace {

using settingskey::readDword;
using settingskey::readText;

// Numbers are kept in signed 16-bit fields.
short toShort(qint32 value) {
    if (value < -32768 || value > 32767) throw StavioError(errnum::Overflow, QStringLiteral("Overflow"));
    return static_cast<short>(value);
}

QDateTime readTime(const char* name, const char* def) {
    const auto parsed = platform::datefmt::parseGeneralDate(readText(name, QLatin1String(def)));
    if (!parsed) throw StavioError(errnum::TypeMismatch, QStringLiteral("Type mismatch"));
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

    trap.step([&] { s.PrecipiaServerName = readText("Precipia Server Name"); });
    trap.step([&] { s.PathToLogs = readText("Path to Logs"); });
    trap.step([&] { s.SubscriberTemplateAlias = readText("Subscriber Template Alias"); });
    trap.step([&] { s.LogRetentionDays = toShort(readDword("Log Retention Days", 10)); });
    trap.step([&] { s.MailboxArchiveDays = toShort(readDword("Mailbox Archive Days", 10)); });
    trap.step([&] { s.SyncCycleMinutes = toShort(readDword("Syncronization Cycle Minutes", 10)); });
    trap.step([&] { s.DebugMode = readDword("Debug Mode", 0) != 0; });
    trap.step([&] { s.LogSweepStartTime = readTime("Log Sweep Start Time", "2:00:00 AM"); });
    trap.step([&] { s.LogSweepStopTime = readTime("Log Sweep Stop Time", "4:00:00 AM"); });
    trap.step([&] { s.ArchiveMailboxStartTime = readTime("Archive Mailbox Start Time", "1:00:00 AM"); });
    trap.step([&] { s.ArchiveMailboxStopTime = readTime("Archive Mailbox Stop Time", "4:00:00 AM"); });
    trap.step([&] { s.SkipPasswordFromRoom = readDword("Skip Password From Room", 0) != 0; });
    trap.step([&] { s.SendWelcomeMessage = readDword("Send Welcome Message", 0) != 0; });
    trap.step([&] { s.WelcomeMessageWavFilePath = readText("Welcome Message WAV File Path"); });

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

bool ReadRegistryKeys() { return ReadRegistryKeys(serviceState().settings); }
