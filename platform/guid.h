#pragma once
#include <QString>

namespace platform {
// A new GUID in registry text form: 38 characters, braces, upper-case hex.
QString newGuidText();
}  // namespace platform
