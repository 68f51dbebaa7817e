#include "platform/guid.h"

#include <QUuid>

namespace platform {
QString newGuidText() { return QUuid::createUuid().toString(QUuid::WithBraces).toUpper(); }
}  // namespace platform
