#pragma once
// The registry wrapper both programs use, with the semantics the settings rely
// on: strings read through a 1024-byte buffer, binary through 4096 bytes, a
// missing key or value gives the default, a write to a missing key is lost.
#include <QString>
#include <QVariant>

namespace RegistryAPI {

using RootKey = quint32;
inline constexpr RootKey HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr int REG_SZ = 1;
inline constexpr int REG_BINARY = 3;
inline constexpr int REG_DWORD = 4;

bool KeyExists(RootKey root, const QString& subkey);

// Returns true when the key already existed, false when it was created.
// Raises platform::Error 1001 "Unable to create the registry key" when refused.
bool CreateKey(RootKey root, const QString& subkey);

// REG_SZ gives a QString, REG_BINARY a QByteArray, REG_DWORD a qint32; a
// missing key or value (or a string of 1024 bytes or more) gives `def`.
// Raises platform::Error 1001 "Unsupported value type" for any other type.
QVariant QueryValue(RootKey root, const QString& subkey, const QString& valueName, int type,
                    const QVariant& def);

// Writes into an existing key; a missing key (or unwritable store) writes nothing.
void SetValue(RootKey root, const QString& subkey, const QString& valueName, int type,
              const QVariant& value);

}  // namespace RegistryAPI
