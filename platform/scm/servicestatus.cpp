#include "platform/scm/servicestatus.h"

#include <systemd/sd-daemon.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "platform/env.h"
#include <cerrno>
#include <csignal>

namespace platform::scm {

namespace {

const char* stateName(int state) {
    switch (state) {
        case SERVICE_STOPPED: return "Stopped";
        case SERVICE_START_PENDING: return "Starting";
        case SERVICE_STOP_PENDING: return "Stopping";
        case SERVICE_RUNNING: return "Running";
        case SERVICE_CONTINUE_PENDING: return "Continuing";
        case SERVICE_PAUSE_PENDING: return "Pausing";
        case SERVICE_PAUSED: return "Paused";
    }
    return "Unknown";
}

// Whether a process of that id exists; signal 0 only asks, and ids that
// stand for groups (0, negative) are never asked about.
bool processExists(qint64 processId) {
    if (processId <= 0 || processId != pid_t(processId)) return false;
    return ::kill(pid_t(processId), 0) == 0 || errno == EPERM;
}

}  // namespace

QString defaultStateDirectory() {
    const QString dir = qEnvironmentVariable("VESSELRUN_STATE_DIR");
    return dir.isEmpty() ? QStringLiteral("/run/vesselrun") : dir;
}

QString stateDirectory() { return env().stateDirectory(); }

QString stateFilePath(const QString& id) { return stateDirectory() + QLatin1Char('/') + id + QStringLiteral(".state"); }

StatusReporter::StatusReporter(QString stateFile) : m_stateFile(std::move(stateFile)) {}

void StatusReporter::report(int state, int exitCode) {
    m_status.state = state;
    m_status.exitCode = exitCode;
    send();
}

void StatusReporter::resend() { send(); }

void StatusReporter::send() {
    const QByteArray record = QStringLiteral("STATE=%1\nCONTROLS=%2\nEXIT_CODE=%3\nPID=%4\n")
                                  .arg(m_status.state)
                                  .arg(m_status.controlsAccepted)
                                  .arg(m_status.exitCode)
                                  .arg(QCoreApplication::applicationPid())
                                  .toLatin1();
    // A record sent again unchanged (user codes, interrogation) is already in
    // the file: rewriting it, flushed to disk each time, would make a burst of
    // requests slow to get through.
    if (record != m_written || !QFileInfo::exists(m_stateFile)) {
        // Written whole and renamed into place, so a reader never sees half a file.
        QDir().mkpath(QFileInfo(m_stateFile).absolutePath());
        QSaveFile file(m_stateFile);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(record);
            if (file.commit()) m_written = record;
        }
    }
    if (qEnvironmentVariableIsEmpty("NOTIFY_SOCKET")) return;
    QByteArray message = QByteArray("STATUS=") + stateName(m_status.state) + '\n';
    if (m_status.state == SERVICE_RUNNING && !m_readySent) {
        message += "READY=1\n";
        m_readySent = true;
    }
    if (m_status.state == SERVICE_STOP_PENDING) message += "STOPPING=1\n";
    if (m_status.state == SERVICE_STOPPED && m_status.exitCode != 0)
        message += "STOPPING=1\nERRNO=" + QByteArray::number(m_status.exitCode & 0xFFFF) + '\n';
    sd_notify(0, message.constData());
}

std::optional<ServiceStatus> readStatusFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    ServiceStatus status;
    bool sawState = false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq < 0) continue;
        const QByteArray key = line.left(eq);
        const QByteArray text = line.mid(eq + 1).trimmed();
        const int value = text.toInt();
        if (key == "STATE") {
            status.state = value;
            sawState = true;
        } else if (key == "CONTROLS") {
            status.controlsAccepted = value;
        } else if (key == "EXIT_CODE") {
            status.exitCode = value;
        } else if (key == "PID") {
            status.processId = text.toLongLong();
        }
    }
    if (!sawState) return std::nullopt;
    return status;
}

int currentState(const ServiceStatus& status) {
    if (status.state == SERVICE_STOPPED || status.processId == 0) return status.state;
    return processExists(status.processId) ? status.state : SERVICE_STOPPED;
}

}  // namespace platform::scm
