#pragma once
// What the administration's windows and commands share: the settings as last
// loaded or saved, the server connection and version, the remote flag, the
// server's notifier and the administration log. The program (its main
// window's application, stavioctl) owns one and hands it to what needs it.
#include <QString>
#include <memory>

#include "common/AdminLog.h"
#include "common/AdminSettings.h"
#include "common/VoiceServerObjects.h"
#include "common/VoxarenVersion.h"

struct AdminState {
    AdminSettings settings;
    QString voiceServerConnection;
    ServerVersion serverVersion;
    bool remote = false;  // no voice-messaging server on this machine
    std::shared_ptr<INotifier> notifier;
    std::unique_ptr<AdminLog> log;

    // One line of the administration log, time-stamped or not; nothing when no
    // log has been started.
    void writeLog(QString text, bool stamp) const;
    // A time-stamped line, as the guest actions write their steps.
    void logStep(const QString& text) const { writeLog(text, true); }
};

// "Precipia Server Name" as the store holds it now, without surrounding
// blanks: what the guest actions that write to the PMS table reach.
QString storedPmsServer();
