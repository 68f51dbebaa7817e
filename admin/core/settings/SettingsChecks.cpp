#include "admin/core/settings/SettingsChecks.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "admin/core/localize/LanguageStrings.h"
#include "common/SubscriberTemplates.h"
#include "platform/account.h"

using modLocalize::myLoadResString;

namespace {

int secondsOfDay(const QDateTime& t) { return t.time().hour() * 3600 + t.time().minute() * 60 + t.time().second(); }

bool startsBeforeStop(const QDateTime& start, const QDateTime& stop) {
    return secondsOfDay(start) < secondsOfDay(stop);
}

std::optional<QString> numberRefusal(Setting id, qint32 value) {
    const NumberChoices choices = *numberChoices(id);
    if (value >= choices.first && value <= choices.last) return std::nullopt;
    return QStringLiteral("%1 must be a whole number from %2 to %3.")
        .arg(QLatin1String(settingDefinition(id).name))
        .arg(choices.first)
        .arg(choices.last);
}

std::optional<QString> welcomeMessageRefusal(const QString& wav) {
    if (wav.isEmpty()) return myLoadResString(1170);
    if (!QFileInfo(wav).isFile()) return myLoadResString(1171);
    if (QFileInfo(wav).suffix().compare(QLatin1String("WAV"), Qt::CaseInsensitive) != 0) return myLoadResString(1172);
    return std::nullopt;
}

// A folder setting as the service reads it: a relative one counts from "/",
// its working folder.
QString absoluteFolder(const QString& folder) { return QDir::cleanPath(QDir(QStringLiteral("/")).absoluteFilePath(folder)); }

// A folder of the system itself, or one below those that hold only the
// system's own files: no place for logs that are swept.
bool isSystemFolder(const QString& folder) {
    const QString clean = absoluteFolder(folder);
    static const QStringList own{QStringLiteral("/"),        QStringLiteral("/home"),    QStringLiteral("/media"),
                                 QStringLiteral("/mnt"),     QStringLiteral("/opt"),     QStringLiteral("/root"),
                                 QStringLiteral("/srv"),     QStringLiteral("/tmp"),     QStringLiteral("/var"),
                                 QStringLiteral("/var/lib"), QStringLiteral("/var/log"), QStringLiteral("/var/tmp")};
    static const QStringList below{QStringLiteral("/bin"), QStringLiteral("/boot"), QStringLiteral("/dev"),
                                   QStringLiteral("/etc"), QStringLiteral("/lib"),  QStringLiteral("/lib32"),
                                   QStringLiteral("/lib64"), QStringLiteral("/proc"), QStringLiteral("/run"),
                                   QStringLiteral("/sbin"), QStringLiteral("/sys"),  QStringLiteral("/usr")};
    if (own.contains(clean)) return true;
    return std::any_of(below.begin(), below.end(), [&](const QString& top) {
        return clean == top || clean.startsWith(top + QLatin1Char('/'));
    });
}

// The account the service runs as (the package makes it); another one's name
// in STAVIO_SERVICE_ACCOUNT.
std::optional<platform::Account> serviceAccount() {
    const QString named = qEnvironmentVariable("STAVIO_SERVICE_ACCOUNT");
    return platform::findAccount(named.isEmpty() ? QStringLiteral("stavio") : named);
}

// Folders the service's sandbox hides from it: its own /tmp, and the homes.
bool hiddenFromTheService(const QString& clean) {
    for (const char* top : {"/tmp", "/var/tmp", "/home", "/root", "/run/user"}) {
        const QLatin1String folder(top);
        if (clean == folder || clean.startsWith(folder + QLatin1Char('/'))) return true;
    }
    return false;
}

// A log folder the service's account could not write to after its next start:
// the folder, or the folder above it where the service makes the folder.
std::optional<QString> serviceAccountRefusal(const QString& folder) {
    const std::optional<platform::Account> account = serviceAccount();
    if (!account) return std::nullopt;  // no such account: the service runs as whoever started it
    const QString clean = absoluteFolder(folder);
    const QString existing = QFileInfo(clean).isDir() ? clean : QFileInfo(clean).absolutePath();
    if (!hiddenFromTheService(clean) && platform::mayWriteIn(*account, existing)) return std::nullopt;
    return myLoadResString(1155) + account->name + QStringLiteral(", ") + folder;
}

}  // namespace

std::optional<NumberChoices> numberChoices(Setting id) {
    switch (id) {
        case Setting::LogRetentionDays: return NumberChoices{5, 90};
        case Setting::MailboxArchiveDays: return NumberChoices{0, 28};
        case Setting::SyncCycleMinutes: return NumberChoices{1, 20};
        default: return std::nullopt;
    }
}

std::optional<QString> settingsRefusal(const AdminSettings& s) {
    for (const auto& [id, value] : {std::pair{Setting::LogRetentionDays, s.LogRetentionDays},
                                    std::pair{Setting::MailboxArchiveDays, s.MailboxArchiveDays},
                                    std::pair{Setting::SyncCycleMinutes, s.SyncCycleMinutes}})
        if (const std::optional<QString> refusal = numberRefusal(id, value)) return refusal;
    if (!s.PathToLogs.isEmpty()) {
        if (isSystemFolder(s.PathToLogs)) return myLoadResString(1154) + s.PathToLogs;
        if (const std::optional<QString> refusal = serviceAccountRefusal(s.PathToLogs)) return refusal;
    }
    if (!startsBeforeStop(s.ArchiveMailboxStartTime, s.ArchiveMailboxStopTime)) return myLoadResString(1107);
    if (!startsBeforeStop(s.LogSweepStartTime, s.LogSweepStopTime)) return myLoadResString(1106);
    if (s.SendWelcomeMessage)
        if (const std::optional<QString> refusal = welcomeMessageRefusal(s.WelcomeMessageWavFilePath)) return refusal;
    // The service cannot start without a template: none chosen is no choice.
    if (s.SubscriberTemplateAlias.trimmed().isEmpty()) return myLoadResString(1148);
    return std::nullopt;
}

QString savedLogFolder(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
}

namespace {

std::optional<QString> logFolderWarning(const QString& folder) {
    // An empty path is no folder to check: the service then logs beside itself.
    if (folder.isEmpty() || QFileInfo(folder).isDir()) return std::nullopt;
    // The service makes the last level only: the folder above must be there.
    const bool aboveExists = QFileInfo(QFileInfo(QDir::cleanPath(folder)).absolutePath()).isDir();
    return myLoadResString(aboveExists ? 1156 : 1149) + folder;
}

// The service's start refuses a template alias the server does not have.
// A server that cannot be asked is no reason to warn.
std::optional<QString> templateWarning(const QString& alias, const QString& voiceServerConnection) {
    long count = 0;
    try {
        count = SubscriberTemplates::countWithAlias(alias, voiceServerConnection);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (count == 1) return std::nullopt;
    return myLoadResString(1158) + alias;
}

}  // namespace

QStringList settingsSavedWarnings(const AdminSettings& s, const QString& voiceServerConnection) {
    QStringList warnings;
    if (const std::optional<QString> folder = logFolderWarning(s.PathToLogs)) warnings << *folder;
    if (const std::optional<QString> alias = templateWarning(s.SubscriberTemplateAlias, voiceServerConnection))
        warnings << *alias;
    return warnings;
}
