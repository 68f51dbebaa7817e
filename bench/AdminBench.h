#pragma once
// What a benchmark of the administration's windows runs in: a scratch folder,
// a runtime folder Qt accepts, the application, and an administration
// environment (its prompts recorded, its registry store in the scratch
// folder) installed for the program's life.
#include <QApplication>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "admin/core/AdminEnv.h"
#include "admin/core/AdminState.h"
#include "tests/support/ScriptedPrompt.h"

class AdminBench {
public:
    AdminBench(int& argc, char** argv);

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }
    AdminEnv& environment() { return m_env; }

    const std::shared_ptr<ScriptedPrompt> prompts = std::make_shared<ScriptedPrompt>();
    AdminState admin;  // what the windows share

private:
    QTemporaryDir m_dir;
    bool m_runtimeReady;  // set before the application is made
    QApplication m_app;
    AdminEnv m_env;
    std::optional<platform::ScopedEnv> m_installed;
};
