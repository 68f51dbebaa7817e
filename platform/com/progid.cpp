#include "platform/com/progid.h"

#include <QRegularExpression>

namespace platform::com {

namespace {
constexpr int kMaxProgIdLength = 128;
}

bool isValidProgId(const QString& progId) {
    static const QRegularExpression form(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*(\\.[A-Za-z0-9_]+)+$"));
    return progId.size() <= kMaxProgIdLength && form.match(progId).hasMatch();
}

}  // namespace platform::com
