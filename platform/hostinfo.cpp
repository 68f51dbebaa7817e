#include "platform/hostinfo.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <utmpx.h>

#include <QStringList>

namespace platform {

HostInfo readHostInfo() {
    HostInfo info;
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0) {
        const QString full = QString::fromLocal8Bit(name);
        info.computerName = full.section(QLatin1Char('.'), 0, 0);
        info.domain = full.section(QLatin1Char('.'), 1);
    }
    if (info.domain.isEmpty()) {
        char domain[256] = {};
        if (getdomainname(domain, sizeof domain - 1) == 0) {
            const QString d = QString::fromLocal8Bit(domain);
            if (d != QStringLiteral("(none)")) info.domain = d;
        }
    }
    if (const passwd* pw = getpwuid(geteuid())) info.userName = QString::fromLocal8Bit(pw->pw_name);

    setutxent();
    while (const utmpx* entry = getutxent())
        if (entry->ut_type == USER_PROCESS) ++info.loggedOnUsers;
    endutxent();

    utsname uts{};
    if (uname(&uts) == 0) {
        info.osName = QString::fromLocal8Bit(uts.sysname);
        const QStringList release = QString::fromLocal8Bit(uts.release).split(QLatin1Char('.'));
        info.osMajor = release.value(0).toInt();
        info.osMinor = release.value(1).toInt();
    }
    return info;
}

}  // namespace platform
