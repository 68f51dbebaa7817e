#include "platform/com/hresult.h"

namespace platform::com {

namespace {
thread_local QString errorInfo;
}

void setErrorInfo(const QString& description) { errorInfo = description; }

QString takeErrorInfo() { return std::exchange(errorInfo, QString()); }

QString resultText(HRESULT hr) {
    const QString info = takeErrorInfo();
    if (!info.isEmpty()) return info;
    switch (hr) {
        case S_OK: return QStringLiteral("The operation completed successfully.");
        case E_FAIL: return QStringLiteral("Unspecified error");
        case E_NOINTERFACE: return QStringLiteral("No such interface supported");
        case E_INVALIDARG: return QStringLiteral("The parameter is incorrect.");
        case E_UNEXPECTED: return QStringLiteral("Catastrophic failure");
        case CO_E_CLASSSTRING: return QStringLiteral("Invalid class string");
        case REGDB_E_CLASSNOTREG: return QStringLiteral("Class not registered");
        case CO_E_DLLNOTFOUND: return QStringLiteral("DLL for class not found");
        default: break;
    }
    if ((std::uint32_t(hr) & 0xFFFF0000u) == 0x800A0000u)
        return QStringLiteral("Application-defined or object-defined error");
    return QString();
}

}  // namespace platform::com
