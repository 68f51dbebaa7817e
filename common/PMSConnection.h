#pragma once
// The PMS gateway database's connection string, built from the setting
// "Precipia Server Name" (a MariaDB host[:port], or the path of an SQLite file):
//   "DRIVER={MySQL ODBC 3.51 Driver};SERVER=" + host + ";DATABASE=ptceDB;UID=vms;PWD=kqt584;OPTION=3"
// with blanks at the ends of the setting removed, and the host in braces
// when it holds what would otherwise end or open a value.
#include <QString>

QString PMSConnectionString(const QString& serverName);
