#pragma once
// An error raised inside a procedure, with the number and description that the
// error trap writes. Procedures raise it; traps catch it.
#include <QString>
#include <stdexcept>

class StavioError : public std::runtime_error {
public:
    StavioError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number),
          m_description(description) {}
    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// Numbers for the run-time errors the procedures raise themselves.
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
