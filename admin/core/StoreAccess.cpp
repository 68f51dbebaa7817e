#include "admin/core/StoreAccess.h"

#include "common/SettingsTable.h"
#include "platform/registry.h"

std::optional<QString> storeReadRefusal() {
    try {
        platform::machineRegistry().keyExists(QLatin1String(kSettingsKey));
        return std::nullopt;
    } catch (const platform::Error& e) {
        return QString::fromUtf8(e.what());
    }
}

std::optional<QString> storeWriteRefusal() {
    try {
        platform::machineRegistry().deleteValue(QLatin1String(kSettingsKey),
                                                QStringLiteral("Administration Write Check"));
        return std::nullopt;
    } catch (const platform::Error& e) {
        return QString::fromUtf8(e.what());
    }
}
