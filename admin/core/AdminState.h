#pragma once
// What the administration's windows share: the settings as last loaded or
// saved, the server connection and version, the remote flag, the server's
// notifier and the administration log.
#include <QString>
#include <memory>

#include "admin/core/localize/LanguageState.h"
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
    modLocalize::LanguageState language;

    // The program's folder (language files, help page, scripts, logs).
    QString programFolder() const;
    // "Precipia Server Name" as the store holds it now, without surrounding
    // blanks: what the guest actions that write to the PMS table reach.
    QString storedPmsServer() const;
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }

private:
    QString m_programFolder;
};

// The installed administration environment's state.
AdminState& adminState();

// One line of the administration log, time-stamped or not; nothing when no
// log has been started.
void writeAdminLog(QString text, bool stamp);
// A time-stamped line, as the guest actions write their steps.
inline void logAdminStep(const QString& text) { writeAdminLog(text, true); }
