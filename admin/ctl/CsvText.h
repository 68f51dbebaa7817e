#pragma once
// Tables as the command line prints them: RFC 4180 CSV, or columns aligned
// for a person to read.
#include <QString>
#include <QStringList>
#include <vector>

namespace ctl {

// A header line and the rows, each field quoted when it holds a comma, a
// quote or a line break; lines end with CR LF.
QString csvText(const QStringList& header, const std::vector<QStringList>& rows);
// The header and the rows in columns two blanks apart.
QString alignedText(const QStringList& header, const std::vector<QStringList>& rows);

}  // namespace ctl
