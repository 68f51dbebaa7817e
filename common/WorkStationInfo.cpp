#include "common/WorkStationInfo.h"

#include "platform/hostinfo.h"

void WorkStationInfo::Refresh() {
    const platform::HostInfo host = platform::readHostInfo();
    m_computerName = host.computerName;
    m_domain = host.domain;
    m_lanRoot.clear();
    m_loggedOnUsers = host.loggedOnUsers;
    m_platformId = 0;  // not a platform of the NT family
    m_verMajor = host.osMajor;
    m_verMinor = host.osMinor;
    m_userName = host.userName;
    // A local logon: the user's domain is the machine's, the logon server the machine.
    m_logonDomain = host.domain;
    m_logonServer = host.computerName;
    m_otherDomains.clear();
}
