#pragma once
#include <QString>

namespace platform {
// Facts about this machine and the user running the program.
struct HostInfo {
    QString computerName;  // host name, without domain
    QString domain;        // DNS domain (or NIS domain), empty when none
    QString userName;
    int loggedOnUsers = 0;
    QString osName;  // kernel name, e.g. "Linux"
    int osMajor = 0;
    int osMinor = 0;
};
HostInfo readHostInfo();
}  // namespace platform
