#pragma once
// The English texts of the administration, by string id (kFirstStringId to kLastStringId).
#include <QHash>
#include <QString>

inline constexpr int kFirstStringId = 1000;
inline constexpr int kLastStringId = 1186;

const QHash<int, QString>& englishTable();
