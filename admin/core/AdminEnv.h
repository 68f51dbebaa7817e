#pragma once
// The administration program's environment: the system's (SystemEnv) plus
// the prompt that asks the user, the discovery of voice-messaging servers on
// the network, and the state its windows share. Whoever builds it gives the
// prompt: the program's main the dialogs, GUI tests a scripted one, a
// command-line tool its own.
#include <memory>

#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "common/SystemEnv.h"

class ServerDiscovery;

class AdminEnv : public SystemEnv {
public:
    // Discovery starts as the registry store's (RegistryServerDiscovery).
    explicit AdminEnv(std::shared_ptr<Prompt> prompt);
    ~AdminEnv() override;

    std::shared_ptr<Prompt> prompt;
    std::shared_ptr<ServerDiscovery> discovery;
    AdminState state;
};

// The installed environment as the administration needs it (a wiring fault
// ends the program with a message, as systemEnv() does).
AdminEnv& adminEnv();
