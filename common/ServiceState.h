#pragma once
// What the service's start-up fills and its procedures read: the settings,
// the two databases' connections, the guest-action journal, the server's
// lamp notifier and the diagnostic log. The control owns one and hands it to
// what needs it; used on the service thread only.
#include <QString>
#include <memory>

#include "common/DiagnosticLogFile.h"
#include "common/GuestActionJournal.h"
#include "common/ServiceSettings.h"

class INotifier;

// Not copied: its log refers to its own settings.
struct ServiceState {
    ServiceSettings settings;
    QString voiceServerConnection;  // the local voice-messaging server's database
    QString pmsConnection;          // the PMS gateway's database

    // The guest action in progress, noted in the registry store until it is done.
    GuestActionJournal guestActions;

    // The server's lamp notifier, obtained at start and again when it is lost.
    std::shared_ptr<INotifier> notifier;

    // The diagnostic log being written, following these settings.
    DiagnosticLogFile log{settings};
};
