#pragma once
// The connection string of the voice-messaging server on this machine, as the
// service and the administration open its database.
#include <QString>

inline const QString kLocalVoiceServerConnection = QStringLiteral("Driver={SQL Server};server=;database=VoxarenDb");
