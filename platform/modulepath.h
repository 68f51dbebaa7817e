#pragma once
#include <QString>

namespace platform {
// The folder of the executable or shared library that contains `address`
// (pass the address of a function of that module), without a trailing "/".
QString moduleFolder(const void* address);
// The file name of that module without folder.
QString moduleFileName(const void* address);
}  // namespace platform
