#pragma once
// vmstable rows as the `show` command prints them: an aligned table for
// people, or CSV for scripts.
#include <QString>
#include <vector>

#include "sim/ptce/RoomRow.h"

namespace ptce {

// Columns padded to their widest value; NULL printed as NULL.
QString formatTable(const std::vector<RoomRow>& rows);

// RFC 4180: a header line, CRLF line ends, fields quoted when they hold a
// comma, quote or line break. NULL is an empty field; empty text is "" so a
// reader can still tell the two apart.
QString formatCsv(const std::vector<RoomRow>& rows);

}  // namespace ptce
