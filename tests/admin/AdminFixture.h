#pragma once
// The administration's tests: an AdminEnv installed for the test, with a
// prompt that answers from a script and a process runner that records, and
// the state a program would hand its windows and commands.
#include "admin/AdminApplication.h"
#include "admin/core/AdminEnv.h"
#include "admin/core/AdminState.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

template <class Base>
class AdminFixture : public Base {
protected:
    std::unique_ptr<SystemEnv> makeEnv() override {
        auto env = std::make_unique<AdminEnv>(prompts);
        env->setProcesses(runner);
        env->setProgramFolder(this->folder());
        return env;
    }
    AdminEnv& adminEnv() { return static_cast<AdminEnv&>(this->environment()); }
    // The error trap's reports shown as the program shows them: as error messages.
    void showErrors() { adminEnv().errorSink = showErrorReport; }

    AdminState adminState;
    std::shared_ptr<ScriptedPrompt> prompts = std::make_shared<ScriptedPrompt>();
    std::shared_ptr<FakeProcessRunner> runner = std::make_shared<FakeProcessRunner>();
};
