// stavioctl settings show | set NAME VALUE: the settings key, written as the
// settings window's Save writes it, after the same checks.
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "admin/core/AdminEnv.h"
#include "admin/core/StoreAccess.h"
#include "admin/core/localize/LanguageStrings.h"
#include "admin/core/settings/SettingsChecks.h"
#include "admin/ctl/CtlCommand.h"
#include "common/AdminSettings.h"
#include "common/SettingsTable.h"
#include "platform/datefmt.h"

namespace ctl {

namespace {

QString shown(const SettingDefinition& d) {
    const QVariant value = readSetting(d.id, SettingsReader::Administration);
    // A missing time is the administration's default, a date and time.
    if (value.metaType().id() == QMetaType::QDateTime) return platform::datefmt::generalDate(value.toDateTime());
    return value.toString();
}

// Numbers and flags as JSON numbers, the rest as the text show prints.
QJsonValue jsonValue(const SettingDefinition& d) {
    if (d.kind == SettingKind::Number || d.kind == SettingKind::Flag)
        return readSetting(d.id, SettingsReader::Administration).toInt();
    return shown(d);
}

int show(bool json) {
    QString text;
    QJsonObject object;
    try {
        for (const SettingDefinition& d : settingsTable()) {
            if (json)
                object.insert(QLatin1String(d.name), jsonValue(d));
            else
                text += QLatin1String(d.name) + QLatin1Char('\t') + shown(d) + QLatin1Char('\n');
        }
    } catch (const std::exception& e) {
        return refuse(QString::fromUtf8(e.what()));
    }
    if (json)
        outBytes(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
    else
        out(text);
    return kSuccess;
}

QStringList settingNames() {
    QStringList names;
    for (const SettingDefinition& d : settingsTable()) names << QLatin1String(d.name);
    return names;
}

// A time of day as HH:MM or HH:MM:SS (24 hours), or in the regional date
// format the settings are stored in; on the settings' meaningless date.
std::optional<QDateTime> timeSetting(const QString& value) {
    for (const char* format : {"H:mm:ss", "H:mm"}) {
        const QTime t = QTime::fromString(value.trimmed(), QLatin1String(format));
        if (t.isValid()) return QDateTime(QDate(2000, 1, 1), t);
    }
    if (const std::optional<QDateTime> parsed = platform::datefmt::parseGeneralDate(value))
        return QDateTime(QDate(2000, 1, 1), parsed->time());
    return std::nullopt;
}

// The settings with the one value changed; nullopt (and the reason) when the
// value is no value of that kind.
std::optional<AdminSettings> withValue(AdminSettings s, Setting id, const QString& value, QString& problem) {
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    switch (settingDefinition(id).kind) {
        case SettingKind::Number:
        case SettingKind::Flag:
            if (!ok || (settingDefinition(id).kind == SettingKind::Flag && number != 0 && number != 1)) {
                problem = settingDefinition(id).kind == SettingKind::Flag ? QStringLiteral("%1 takes 0 or 1")
                                                                           : QStringLiteral("%1 takes a whole number");
                problem = problem.arg(QLatin1String(settingDefinition(id).name));
                return std::nullopt;
            }
            break;
        case SettingKind::Time:
            if (!timeSetting(value)) {
                problem = QStringLiteral("%1 takes a time of day such as 02:30").arg(QLatin1String(settingDefinition(id).name));
                return std::nullopt;
            }
            break;
        case SettingKind::Text: break;
    }
    switch (id) {
        case Setting::PrecipiaServerName: s.PrecipiaServerName = value; break;
        case Setting::PathToLogs: s.PathToLogs = value; break;
        case Setting::SubscriberTemplateAlias: s.SubscriberTemplateAlias = value; break;
        case Setting::LogRetentionDays: s.LogRetentionDays = number; break;
        case Setting::MailboxArchiveDays: s.MailboxArchiveDays = number; break;
        case Setting::SyncCycleMinutes: s.SyncCycleMinutes = number; break;
        case Setting::DebugMode: s.DebugMode = number != 0; break;
        case Setting::LogSweepStartTime: s.LogSweepStartTime = *timeSetting(value); break;
        case Setting::LogSweepStopTime: s.LogSweepStopTime = *timeSetting(value); break;
        case Setting::ArchiveMailboxStartTime: s.ArchiveMailboxStartTime = *timeSetting(value); break;
        case Setting::ArchiveMailboxStopTime: s.ArchiveMailboxStopTime = *timeSetting(value); break;
        case Setting::SkipPasswordFromRoom: s.SkipPasswordFromRoom = number != 0; break;
        case Setting::SendWelcomeMessage: s.SendWelcomeMessage = number != 0; break;
        case Setting::WelcomeMessageWavFilePath: s.WelcomeMessageWavFilePath = value; break;
        case Setting::UseRoomNumberAsPassword: s.UseRoomNumberAsPassword = number != 0; break;
        case Setting::CurrentLogFile:
        case Setting::RemoteConnectionString:
            problem = QStringLiteral("%1 is not set by hand: the service (or the guest view) writes it")
                          .arg(QLatin1String(settingDefinition(id).name));
            return std::nullopt;
    }
    return s;
}

int set(const QString& name, const QString& value) {
    const SettingDefinition* d = findSetting(name);
    if (!d) return badUsage(QStringLiteral("settings"), {QStringLiteral("no such setting '%1'").arg(name), name, settingNames()});
    // The settings wrapper drops a write the store refuses: ask first.
    if (const std::optional<QString> refusal = storeWriteRefusal()) return refuse(*refusal);
    const QString folder = adminEnv().programFolder();
    try {
        QString problem;
        const std::optional<AdminSettings> changed = withValue(LoadAdminSettings(folder), d->id, value, problem);
        if (!changed) return refuse(problem);
        if (const std::optional<QString> refusal = settingsRefusal(*changed)) return refuse(*refusal);
        AdminSettings saved = *changed;
        saved.PathToLogs = savedLogFolder(saved.PathToLogs);
        setRegistryKeys(saved, folder);
        // No server is connected to here: the template is not looked for.
        for (const QString& warning : settingsSavedWarnings(saved, QString())) error(warning);
    } catch (const std::exception& e) {
        return refuse(QString::fromUtf8(e.what()));
    }
    out(modLocalize::myLoadResString(1097) + QLatin1Char('\n'));
    return kSuccess;
}

}  // namespace

int runSettings(const Arguments& arguments) {
    const QString action = arguments.positional.value(0);
    if (action == QLatin1String("show") && arguments.positional.size() == 1) return show(arguments.has("--json"));
    if (arguments.has("--json")) return badUsage(QStringLiteral("settings"), QStringLiteral("--json goes with 'settings show'"));
    if (action == QLatin1String("set") && arguments.positional.size() == 3) return set(arguments.positional[1], arguments.positional[2]);
    if (action != QLatin1String("show") && action != QLatin1String("set"))
        return badUsage(QStringLiteral("settings"), {QStringLiteral("unknown settings command '%1'").arg(action), action,
                                                     {QStringLiteral("show"), QStringLiteral("set")}});
    return badUsage(QStringLiteral("settings"), QStringLiteral("expected 'settings show' or 'settings set NAME VALUE'"));
}

}  // namespace ctl
