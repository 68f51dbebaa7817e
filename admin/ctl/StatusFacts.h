#pragma once
// What stavioctl's status and check read about the service and the servers
// it needs, each part a JSON object with stable keys (status --json prints
// them as they are).
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include "common/SettingsTable.h"

namespace ctl {

// A setting as the administration reads it, as text; "" when it cannot be read.
QString settingText(Setting id);

// name, installed, state ("running", "stopped", "not installed", ...),
// stateCode, pid (of a host that still runs) and exitCode.
QJsonObject serviceStatus();
// currentFile and whether it exists.
QJsonObject logStatus(const QString& logFile);
// The last sweep in the log: start, end, finished and its counts; null
// when the log holds none or cannot be read.
QJsonValue sweepStatus(const QString& logFile);
// server ("Precipia Server Name"), whether it answers, and the problem
// (the driver's reason) when it does not.
QJsonObject pmsStatus();
// version, remote, connection, whether the voice-messaging server answers,
// and the problem when it does not.
QJsonObject voiceServerStatus();

}  // namespace ctl
