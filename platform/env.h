#pragma once
// Everything a program reaches outside itself, in one object: the clock, the
// programs it runs, the event log, the registry store, the regional date
// format and the hooks that make
// the voice-messaging server's database reachable. A program builds its
// environment where it is wired together and installs it; a test installs its
// own for its length with ScopedEnv, and the guard restores the one before.
// Nothing else holds process-wide state.
//
// Higher layers extend it (common/SystemEnv.h, admin/core/AdminEnv.h); the
// installed object is always the most derived one a program needs.
//
// Its contract:
// - A program sets its services (the setters below) while it is wired
//   together, before it installs the environment or starts a thread; a test
//   before it runs the code under test. Only a test changes them later,
//   between the steps it runs; reading them is safe from any thread.
// - The event log and the registry store take their own locks and may be
//   used from any thread; the clock and the process runner belong to the
//   thread that does the program's work (the service thread, the window's).
#include <QString>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/datefmt.h"

namespace platform {

class Clock;
class EventLog;
class ProcessRunner;
class RegistryStore;

namespace db {
class ProcedureProvider;
struct ConnectionSpec;
}  // namespace db

class Env {
public:
    // Turns the details of a voice-messaging server into the connection that serves it.
    using VoiceServerResolver = std::function<db::ConnectionSpec(const db::ConnectionSpec&)>;

    // The real services; the registry store of env STAVIO_REGISTRY, else the machine's.
    Env();
    virtual ~Env();
    Env(const Env&) = delete;
    Env& operator=(const Env&) = delete;

    Clock& clock() const { return *m_clock; }
    ProcessRunner& processes() const { return *m_processes; }
    EventLog& eventLog() const { return *m_eventLog; }

    const QString& registryPath() const { return m_registryPath; }
    // The store at registryPath(), opened on first use. Throws a registry error.
    RegistryStore& registry();

    // Empty (no resolver, no procedures) until the server's access is installed.
    const VoiceServerResolver& voiceServerResolver() const { return m_voiceServerResolver; }
    db::ProcedureProvider* procedures() const { return m_procedures.get(); }

    // Where services run by the host write their state files.
    const QString& stateDirectory() const { return m_stateDirectory; }

    // How dates and times are written and read (STAVIO_DATE_FORMAT, else US English).
    const datefmt::RegionalFormat& regionalFormat() const { return m_regionalFormat; }

    // Tells environments apart for caches that must not outlive theirs (a
    // thread's open database connections); never reused within a process.
    quint64 serial() const { return m_serial; }

    void setClock(std::shared_ptr<Clock> clock);
    void setProcesses(std::shared_ptr<ProcessRunner> processes);
    void setEventLog(std::shared_ptr<EventLog> eventLog);
    void setRegistryPath(const QString& path);
    void setVoiceServer(VoiceServerResolver resolver, std::shared_ptr<db::ProcedureProvider> procedures);
    void setRegionalFormat(const datefmt::RegionalFormat& format) { m_regionalFormat = format; }
    void setStateDirectory(const QString& folder) { m_stateDirectory = folder; }

    // Asked before every write to a database (a statement that changes rows,
    // a stored procedure) and to the registry store; a refused write raises
    // its layer's error and changes nothing. Always allowed unless a test
    // says otherwise: a test that refuses every write from some point on
    // sees what a program killed at that point leaves behind.
    using WriteGate = std::function<bool()>;
    void setWriteGate(WriteGate gate) { m_writeGate = std::move(gate); }
    bool writeAllowed() const { return !m_writeGate || m_writeGate(); }

private:
    std::shared_ptr<Clock> m_clock;
    std::shared_ptr<ProcessRunner> m_processes;
    std::shared_ptr<EventLog> m_eventLog;
    QString m_registryPath;
    std::unique_ptr<RegistryStore> m_registry;
    std::mutex m_registryMutex;
    VoiceServerResolver m_voiceServerResolver;
    std::shared_ptr<db::ProcedureProvider> m_procedures;
    datefmt::RegionalFormat m_regionalFormat;
    QString m_stateDirectory;
    WriteGate m_writeGate;
    quint64 m_serial;
};

// The installed environment; a default one (real services) until a program installs its own.
Env& env();

// Installs an environment for the guard's lifetime and then restores the one before.
class ScopedEnv {
public:
    explicit ScopedEnv(Env& env);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    Env* m_previous;
};

// The registry store's path when nothing else is said: env STAVIO_REGISTRY,
// else /var/lib/stavio/registry.db.
QString defaultRegistryPath();

}  // namespace platform
