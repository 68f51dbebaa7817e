#include "bench/AdminBench.h"

#include <QDir>
#include <QFile>

namespace {

// Qt wants a private runtime folder; a bare benchmark run may have none.
bool prepareRuntimeFolder(const QTemporaryDir& dir) {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return true;
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    return true;
}

}  // namespace

AdminBench::AdminBench(int& argc, char** argv)
    : m_runtimeReady(prepareRuntimeFolder(m_dir)), m_app(argc, argv), m_env(prompts) {
    m_env.setRegistryPath(m_dir.filePath(QStringLiteral("registry.db")));
    m_installed.emplace(m_env);
}
