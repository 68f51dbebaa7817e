#include "platform/env.h"

#include <atomic>

#include "platform/clock.h"
#include "platform/db/command.h"
#include "platform/db/connection.h"
#include "platform/eventlog.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/scm/servicestatus.h"

namespace platform {

namespace {

std::atomic<Env*> installed{nullptr};
std::atomic<quint64> nextSerial{1};

Env& defaultEnv() {
    static Env instance;
    return instance;
}

}  // namespace

QString defaultRegistryPath() {
    const QString fromEnv = qEnvironmentVariable("STAVIO_REGISTRY");
    return fromEnv.isEmpty() ? QStringLiteral("/var/lib/stavio/registry.db") : fromEnv;
}

Env::Env()
    : m_clock(std::make_shared<RealClock>()),
      m_processes(std::make_shared<SystemProcessRunner>()),
      m_eventLog(std::make_shared<SystemEventLog>()),
      m_registryPath(defaultRegistryPath()),
      m_regionalFormat(datefmt::formatFromEnvironment()),
      m_stateDirectory(scm::defaultStateDirectory()),
      m_serial(nextSerial++) {}

Env::~Env() { db::releaseConnectionsOf(m_serial); }

RegistryStore& Env::registry() {
    std::lock_guard lock(m_registryMutex);
    if (!m_registry) m_registry = std::make_unique<RegistryStore>(m_registryPath);
    return *m_registry;
}

void Env::setClock(std::shared_ptr<Clock> clock) { m_clock = std::move(clock); }
void Env::setProcesses(std::shared_ptr<ProcessRunner> processes) { m_processes = std::move(processes); }
void Env::setEventLog(std::shared_ptr<EventLog> eventLog) { m_eventLog = std::move(eventLog); }

void Env::setRegistryPath(const QString& path) {
    std::lock_guard lock(m_registryMutex);
    m_registryPath = path;
    m_registry.reset();
}

void Env::setVoiceServer(VoiceServerResolver resolver, std::shared_ptr<db::ProcedureProvider> procedures) {
    m_voiceServerResolver = std::move(resolver);
    m_procedures = std::move(procedures);
}

Env& env() {
    Env* e = installed.load();
    return e ? *e : defaultEnv();
}

ScopedEnv::ScopedEnv(Env& env) : m_previous(installed.exchange(&env)) {}

ScopedEnv::~ScopedEnv() { installed.store(m_previous); }

}  // namespace platform
