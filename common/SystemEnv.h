#pragma once
// The environment of the hotel system's programs: the platform's services plus
// what the service and the administration reach besides (the voice-messaging
// server's objects, where the error trap and the log calls write, services
// whose state someone other than the service manager knows, the component's
// folder). It holds no state of the programs themselves. The plug-in's
// factory and the administration's main build one; tests install their own
// (platform::ScopedEnv). Set up before it is installed, except where a member
// says otherwise; read on the thread that installed it.
#include <QHash>
#include <QString>
#include <functional>
#include <memory>

#include "common/VoxarenVersion.h"
#include "platform/env.h"

class DiagnosticLogFile;
class IServerObjects;

class SystemEnv : public platform::Env {
public:
    using ErrorSink = std::function<void(const QString& message)>;

    SystemEnv();
    ~SystemEnv() override;

    // The voice-messaging server's object locator (nullptr: none installed).
    std::shared_ptr<IServerObjects> serverObjects;

    // Where the error trap reports; empty: an error entry in the event log and
    // the diagnostic log (the service's way).
    ErrorSink errorSink;

    // A service whose state someone other than the service manager knows (the
    // voice-messaging server's database service) answers through its source.
    void setServiceStateSource(const QString& serviceName, std::function<int()> source);
    std::function<int()> serviceStateSource(const QString& serviceName) const;

    // The voice-messaging server's version, as read from its registry values.
    ServerVersion serverVersion;

    // Where the log calls write diagnostic lines: the running control's log
    // (it sets this for its lifetime); nullptr: nowhere.
    DiagnosticLogFile* diagnosticLog = nullptr;

    // The folder of the service's own component (the shared library the
    // service runs from), without a trailing "/". Tests may point it elsewhere.
    QString componentFolder() const;
    void setComponentFolder(const QString& folder) { m_componentFolder = folder; }

private:
    QString m_componentFolder;
    QHash<QString, std::function<int()>> m_stateSources;
};

// The installed environment as the system's programs need it. A program that
// uses the system's code without installing one has a wiring fault: it ends
// with a message saying so.
SystemEnv& systemEnv();
