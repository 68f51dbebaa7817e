#pragma once
// Facts about this machine and its user, read when created and on Refresh.
#include <QString>

class WorkStationInfo {
public:
    WorkStationInfo() { Refresh(); }
    void Refresh();

    const QString& ComputerName() const { return m_computerName; }
    const QString& Domain() const { return m_domain; }
    const QString& LanRoot() const { return m_lanRoot; }
    int LoggedOnUsers() const { return m_loggedOnUsers; }
    int PlatformId() const { return m_platformId; }
    int VerMajor() const { return m_verMajor; }
    int VerMinor() const { return m_verMinor; }
    const QString& LogonDomain() const { return m_logonDomain; }
    const QString& LogonServer() const { return m_logonServer; }
    const QString& OtherDomains() const { return m_otherDomains; }
    const QString& UserName() const { return m_userName; }

private:
    QString m_computerName, m_domain, m_lanRoot, m_logonDomain, m_logonServer, m_otherDomains,
        m_userName;
    int m_loggedOnUsers = 0, m_platformId = 0, m_verMajor = 0, m_verMinor = 0;
};
