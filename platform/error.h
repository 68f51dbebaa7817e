#pragma once
// An error with a number and a description, as the error trap writes them:
// run-time errors of the procedures and the databases' own errors alike.
#include <QString>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error {
public:
    Error(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}
    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

}  // namespace platform
