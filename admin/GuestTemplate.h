#pragma once
#include <QString>

// Creates the hotel guest class of service and subscriber template on the
// local voice-messaging server when they are missing.

// True when the template exists or was built; false when a step it needs failed.
// On the server at `connection`.
bool CreateGuestCOSandTemplate(const QString& connection);
