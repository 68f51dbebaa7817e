#pragma once
// The PMS gateway database's connection string, built from the setting
// "Precipia Server Name" (a MariaDB host[:port], or the path of an SQLite file).
#include <QString>

QString PMSConnectionString(const QString& serverName);
