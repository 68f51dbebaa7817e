#pragma once
// What the service's start-up fills and every later procedure reads: one
// record in the service's environment (SystemEnv), used on the service thread
// only.
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QString>
#include <memory>

#include "common/GuestActionJournal.h"
#include "common/KeyedCollection.h"
#include "common/ServiceSettings.h"
#include "platform/error.h"

class INotifier;

class ServiceState {
public:
    ServiceSettings settings;
    QString voiceServerConnection;  // the local voice-messaging server's database
    QString pmsConnection;          // the PMS gateway's database
    QString logFolder;              // ends with "/"

    // The rooms (primary extensions) whose PMS change flag was cleared since the
    // synchronisation sweep began: its move and swap phases pass them over.
    QSet<QString> flagsClearedThisSweep;
    // The PMS rows the sweep could not take as they are, each reported once a run.
    QSet<QString> reportedRowProblems;
    // The conflict last reported for a room's check-in, by room: the same one
    // is not reported at every sweep again.
    QHash<QString, QString> reportedConflicts;
    // The guest action in progress, noted in the registry store until it is done.
    GuestActionJournal guestActions;

    // The server's lamp notifier, obtained at start and again when it is lost.
    std::shared_ptr<INotifier> notifier;

    // New guests waiting for their welcome message: key and item are the
    // subscriber's object id, in the order they were checked in.
    KeyedCollection colNewGuests;

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
