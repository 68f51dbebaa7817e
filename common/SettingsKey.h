#pragma once
// Reading and writing the values of the settings key.
#include "common/RegistryAPI.h"

inline constexpr const char* kSettingsKey = "Software\\Brightkeel\\Stavio";

namespace settingskey {

inline QString readText(const char* name, const QString& def = QString()) {
    return RegistryAPI::QueryValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey),
                                   QLatin1String(name), RegistryAPI::REG_SZ, def)
        .toString();
}

inline qint32 readDword(const char* name, qint32 def) {
    return RegistryAPI::QueryValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey),
                                   QLatin1String(name), RegistryAPI::REG_DWORD, def)
        .toInt();
}

inline void writeText(const char* name, const QString& value) {
    RegistryAPI::SetValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey),
                          QLatin1String(name), RegistryAPI::REG_SZ, value);
}

inline void writeDword(const char* name, qint32 value) {
    RegistryAPI::SetValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey),
                          QLatin1String(name), RegistryAPI::REG_DWORD, value);
}

}  // namespace settingskey
