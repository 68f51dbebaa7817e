#pragma once
// Whether the PMS gateway's database answers: its room table opens on the
// connection made from the server name (as the settings window's Connect
// tests it).
#include <QString>

bool pmsServerAnswers(const QString& serverName);
// Why it does not answer, in the database driver's words; "" when it does.
QString pmsServerProblem(const QString& serverName);
