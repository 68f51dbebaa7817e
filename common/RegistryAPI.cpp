#include "common/RegistryAPI.h"

#include "common/ErrorNumbers.h"
#include "platform/registry.h"

namespace RegistryAPI {

namespace {

constexpr int kStringBuffer = 1024;
constexpr int kBinaryBuffer = 4096;

// The machine store, or nullptr when it cannot be opened: a key that cannot
// be opened reads as missing.
platform::RegistryStore* store(RootKey root) {
    if (root != HKEY_LOCAL_MACHINE) return nullptr;
    try {
        return &platform::machineRegistry();
    } catch (const platform::Error&) {
        return nullptr;
    }
}

}  // namespace

bool KeyExists(RootKey root, const QString& subkey) {
    platform::RegistryStore* s = store(root);
    try {
        return s && s->keyExists(subkey);
    } catch (const platform::Error&) {
        return false;
    }
}

bool CreateKey(RootKey root, const QString& subkey) {
    try {
        platform::RegistryStore* s = store(root);
        if (!s) throw platform::registryError(QStringLiteral("no store"));
        return s->createKey(subkey);
    } catch (const platform::Error&) {
        throw platform::Error(errnum::RegistryFailure, QStringLiteral("Unable to create the registry key"));
    }
}

QVariant QueryValue(RootKey root, const QString& subkey, const QString& valueName, int type,
                    const QVariant& def) {
    if (type != REG_SZ && type != REG_BINARY && type != REG_DWORD)
        throw platform::Error(errnum::RegistryFailure, QStringLiteral("Unsupported value type"));
    platform::RegistryStore* s = store(root);
    if (!s) return def;
    std::optional<platform::RegValue> v;
    try {
        if (!s->keyExists(subkey)) return def;
        v = s->value(subkey, valueName);
    } catch (const platform::Error&) {
        return def;
    }
    if (!v || static_cast<int>(v->type) != type) return def;
    switch (type) {
        case REG_SZ:
            // The text and its terminating NUL must fit the buffer.
            if (v->text.toUtf8().size() + 1 > kStringBuffer) return def;
            return v->text;
        case REG_BINARY:
            if (v->bytes.size() > kBinaryBuffer) return def;
            return v->bytes;
        default:
            return static_cast<qint32>(v->dword);
    }
}

void SetValue(RootKey root, const QString& subkey, const QString& valueName, int type,
              const QVariant& value) {
    platform::RegistryStore* s = store(root);
    if (!s) return;
    try {
        switch (type) {
            case REG_SZ: s->setValue(subkey, valueName, platform::RegValue::sz(value.toString())); break;
            case REG_BINARY:
                s->setValue(subkey, valueName, platform::RegValue::binary(value.toByteArray()));
                break;
            case REG_DWORD:
                s->setValue(subkey, valueName,
                            platform::RegValue::fromDword(static_cast<quint32>(value.toLongLong())));
                break;
            default: break;
        }
    } catch (const platform::Error&) {
        // A key that cannot be opened for writing loses the write silently.
    }
}

}  // namespace RegistryAPI
