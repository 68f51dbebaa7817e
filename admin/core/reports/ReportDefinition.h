#pragma once
// The two reports built from the service's diagnostic logs: their file names,
// header lines, the event titles each one takes and the columns it writes.
//
// A log entry line is "time,id,TITLE,primary,secondary,description"; fields
// are numbered from 0 as they stand between commas. A description with commas
// of its own spills into further fields, which no report writes.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace reports {

enum class ReportKind { RoomActivity, ArchivedMailbox };

class ReportDefinition {
public:
    // One event title the report takes and the fields its line is made of,
    // joined by ",". kEmptyColumn writes an empty column.
    struct Entry {
        static constexpr int kEmptyColumn = -1;
        QByteArray title;  // upper case ASCII
        std::vector<int> columns;
    };

    ReportDefinition(QString baseName, QByteArray header, std::vector<Entry> entries);

    const QString baseName;   // ends with "_": "Room_Activity_"
    const QByteArray header;  // the report's first line
    const std::vector<Entry> entries;

    // The entry for a title field as written in a log (any letter case), or
    // nullptr when the report does not take it. Most fields are turned away
    // by their first and last bytes alone, in one test.
    const Entry* entryFor(const char* begin, const char* end) const {
        if (begin == end) return nullptr;
        const unsigned ends =
            unsigned(static_cast<unsigned char>(*begin)) << 8 | static_cast<unsigned char>(end[-1]);
        if (!(m_mayBeTitle[ends >> 6] >> (ends & 63) & 1)) return nullptr;
        return compare(begin, end);
    }

private:
    const Entry* compare(const char* begin, const char* end) const;

    // The first and last bytes (first * 256 + last, one bit each) a field
    // can have and still be a title in upper case: a title's first and last
    // letters in either case, or a byte of a non-ASCII character at either end.
    std::array<std::uint64_t, 256 * 256 / 64> m_mayBeTitle{};
    qsizetype m_longestTitle = 0;
};

const ReportDefinition& reportDefinition(ReportKind kind);

}  // namespace reports
