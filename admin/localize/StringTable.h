#pragma once
// The English texts of the administration, by string id (1000 to 1147).
#include <QHash>
#include <QString>

const QHash<int, QString>& englishTable();
