#pragma once
// The form of a ProgID: dotted words ("Library.Class", or with a version as
// a third word) of ASCII letters, digits and "_", the first word starting
// with a letter. Such a name can also stand in a file name or a unit's
// command line as it is.
#include <QString>

namespace platform::com {

bool isValidProgId(const QString& progId);

}  // namespace platform::com
