#pragma once
// The checks the settings window makes before it saves, for every program
// that saves the settings (the window, the command-line administration): each
// refusal is the window's own message, and nothing is written after one.
#include <QString>
#include <QStringList>
#include <optional>

#include "common/AdminSettings.h"
#include "common/SettingsTable.h"

// The whole numbers a number setting may take: the entries of the window's
// drop-down for it.
struct NumberChoices {
    int first;
    int last;
};
// The choices of a number setting; nullopt for a setting that is no number
// of the window's lists.
std::optional<NumberChoices> numberChoices(Setting id);

// Why these settings are not to be saved, or nothing: a number outside its
// list, a log folder that is a system folder or one the service's account
// ("stavio", or STAVIO_SERVICE_ACCOUNT) could not write, a time window whose start is
// not before its stop, a welcome message without a readable .WAV file, no
// template chosen.
std::optional<QString> settingsRefusal(const AdminSettings& settings);

// The log folder as it is saved: a folder that file names are appended to,
// so it ends with "/" (an empty one stays empty: the service then logs beside
// itself).
QString savedLogFolder(const QString& folder);

// What to tell once settings were saved, each a warning of its own: the log
// folder does not exist (the folder may be made before the service starts),
// the voice-messaging server has no template of the saved alias (the
// service's start would fail).
QStringList settingsSavedWarnings(const AdminSettings& settings, const QString& voiceServerConnection);
