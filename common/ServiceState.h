#pragma once
// What the service's start-up fills and every later procedure reads: one
// record per process, used on the service thread only.
#include <QString>

#include "common/ServiceSettings.h"

class ServiceState {
public:
    ServiceSettings settings;
    QString voiceServerConnection;  // the local voice-messaging server's database
    QString pmsConnection;          // the PMS gateway's database
    QString logFolder;              // ends with "/"

    // The folder of the service's own component (the shared library the
    // service runs from), without a trailing "/". Tests may point it elsewhere.
    QString componentFolder() const;
    void setComponentFolder(const QString& folder) { m_componentFolder = folder; }

private:
    QString m_componentFolder;
};

ServiceState& serviceState();
