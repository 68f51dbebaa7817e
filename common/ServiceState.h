#pragma once
// What the service's start-up fills and every later procedure reads: one
// record in the service's environment (SystemEnv), used on the service thread
// only.
#include <QDateTime>
#include <QFile>
#include <QString>
#include <memory>

#include "common/GuestActionJournal.h"
#include "common/ServiceSettings.h"
#include "platform/error.h"

class INotifier;

class ServiceState {
public:
    ServiceSettings settings;
    QString voiceServerConnection;  // the local voice-messaging server's database
    QString pmsConnection;          // the PMS gateway's database
    QString logFolder;              // ends with "/"

    // The guest action in progress, noted in the registry store until it is done.
    GuestActionJournal guestActions;

    // The server's lamp notifier, obtained at start and again when it is lost.
    std::shared_ptr<INotifier> notifier;

    // The diagnostic log file being written (none before the first start).
    struct DiagnosticLog {
        std::unique_ptr<QFile> stream;
        QString path;
        QDateTime startDate;
        bool started = false;                    // a file was asked for: lines must land in it
        platform::Error openError{0, QString()};  // why the started file could not be made
        bool failureReported = false;
    } diagnosticLog;

    // The folder of the service's own component (the shared library the
    // service runs from), without a trailing "/". Tests may point it elsewhere.
    QString componentFolder() const;
    void setComponentFolder(const QString& folder) { m_componentFolder = folder; }

private:
    QString m_componentFolder;
};

// The installed environment's service record.
ServiceState& serviceState();
