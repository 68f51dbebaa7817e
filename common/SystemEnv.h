#pragma once
// The environment of the hotel system's programs: the platform's services plus
// what the service and the administration reach besides (the voice-messaging
// server's objects, where the error trap reports, services whose state
// someone other than the service manager knows) and the service's own record.
// The plug-in's factory and the administration's main build one; tests
// install their own (platform::ScopedEnv).
#include <QHash>
#include <QString>
#include <functional>
#include <memory>

#include "common/ServiceState.h"
#include "common/VoxarenVersion.h"
#include "platform/env.h"

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

    // What the service's start-up fills and its procedures share.
    ServiceState service;

private:
    QHash<QString, std::function<int()>> m_stateSources;
};

// The installed environment as the system's programs need it. A program that
// uses the system's code without installing one has a wiring fault: it ends
// with a message saying so.
SystemEnv& systemEnv();
