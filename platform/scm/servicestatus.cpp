#include "platform/scm/servicestatus.h"

#include <systemd/sd-daemon.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>

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

}  // namespace

QString stateDirectory() {
    for (const char* name : {"VESSELRUN_STATE_DIR", "RUNTIME_DIRECTORY"}) {
        const QString dir = qEnvironmentVariable(name);
        if (!dir.isEmpty()) return dir.section(QLatin1Char(':'), 0, 0);
    }
    return QStringLiteral("/run/vesselrun");
}

QString stateFilePath(const QString& id) { return stateDirectory() + QLatin1Char('/') + id + QStringLiteral(".state"); }

StatusReporter::StatusReporter(QString stateFile) : m_stateFile(std::move(stateFile)) {}

void StatusReporter::report(int state, int exitCode) {
    m_status.state = state;
    m_status.exitCode = exitCode;
    send();
}

void StatusReporter::resend() { send(); }

void StatusReporter::send() {
    // Written whole and renamed into place, so a reader never sees half a file.
    QDir().mkpath(QFileInfo(m_stateFile).absolutePath());
    QSaveFile file(m_stateFile);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QStringLiteral("STATE=%1\nCONTROLS=%2\nEXIT_CODE=%3\n")
                       .arg(m_status.state)
                       .arg(m_status.controlsAccepted)
                       .arg(m_status.exitCode)
                       .toLatin1());
        file.commit();
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
        const int value = line.mid(eq + 1).trimmed().toInt();
        if (key == "STATE") {
            status.state = value;
            sawState = true;
        } else if (key == "CONTROLS") {
            status.controlsAccepted = value;
        } else if (key == "EXIT_CODE") {
            status.exitCode = value;
        }
    }
    if (!sawState) return std::nullopt;
    return status;
}

}  // namespace platform::scm
