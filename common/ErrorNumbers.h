#pragma once
// The numbers of the run-time errors the procedures raise themselves, as
// platform::Error, with the descriptions the error trap writes.
#include "platform/error.h"

namespace errnum {
constexpr int Overflow = 6;           // "Overflow"
constexpr int TypeMismatch = 13;      // "Type mismatch"
constexpr int FileNotFound = 53;      // "File not found"
constexpr int DeviceIO = 57;          // "Device I/O error"
constexpr int PathFileAccess = 75;    // "Path/File access error"
constexpr int PathNotFound = 76;      // "Path not found"
constexpr int RegistryFailure = 1001;
constexpr int InternalError = 51;   // an unexpected failure of the program itself
}  // namespace errnum
