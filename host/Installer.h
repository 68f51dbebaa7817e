#pragma once
// Installing and removing the service that runs a control.
#include "host/CommandLine.h"

// Each reports its failures and returns whether it succeeded; uninstalling a
// service that does not exist succeeds silently.
bool installService(const CommandLine& line, const QString& program);
bool uninstallService(const QString& serviceName);
