#pragma once
// The administration program's environment: the system's (SystemEnv) plus
// the prompt that asks the user, the language the user reads its texts in,
// the discovery of voice-messaging servers on the network and the program's
// folder. Whoever builds it gives the prompt: the program's main the dialogs,
// GUI tests a scripted one, a command-line tool its own.
#include <QString>
#include <memory>

#include "admin/core/Prompt.h"
#include "admin/core/localize/LanguageState.h"
#include "common/SystemEnv.h"

class ServerDiscovery;

class AdminEnv : public SystemEnv {
public:
    // Discovery starts as the registry store's (RegistryServerDiscovery).
    explicit AdminEnv(std::shared_ptr<Prompt> prompt);
    ~AdminEnv() override;

    std::shared_ptr<Prompt> prompt;
    std::shared_ptr<ServerDiscovery> discovery;
    // The selected language and its loaded texts (a new program, or test,
    // starts with none loaded).
    modLocalize::LanguageState language;

    // The program's folder (language files, help page, scripts, logs).
    QString programFolder() const;
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }

private:
    QString m_programFolder;
};

// The installed environment as the administration needs it (a wiring fault
// ends the program with a message, as systemEnv() does).
AdminEnv& adminEnv();
