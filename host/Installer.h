#pragma once
// Installing and removing the service that runs a control.
#include "host/CommandLine.h"

// Each reports its failures and returns whether it succeeded; uninstalling a
// service that does not exist succeeds silently.
bool installService(const CommandLine& line, const QString& program);
bool uninstallService(const QString& serviceName);
// "install": an older service of the name is removed first (its failures are
// reported and do not stop the install). One still running is only marked
// for deletion, as the service manager does: the install then fails.
bool reinstallService(const CommandLine& line, const QString& program);
