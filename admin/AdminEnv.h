#pragma once
// The administration program's environment: the system's (SystemEnv) plus
// the prompt that asks the user and the state its windows share. Built in the
// program's main; GUI tests install their own with a scripted prompt.
#include <memory>

#include "admin/AdminState.h"
#include "admin/prompt/Prompt.h"
#include "common/SystemEnv.h"

class AdminEnv : public SystemEnv {
public:
    AdminEnv();  // message boxes and the platform's file dialogs
    ~AdminEnv() override;

    std::shared_ptr<Prompt> prompt;
    AdminState state;
};

// The installed environment as the administration needs it (a wiring fault
// ends the program with a message, as systemEnv() does).
AdminEnv& adminEnv();
