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
        Entry(QByteArray title, std::vector<int> columns);

        QByteArray title;  // upper case ASCII
        std::vector<int> columns;

        // The same line as runs of consecutive fields, each copied as it
        // stands in the log with the commas between its fields, after the
        // commas that part it from the run before.
        struct Run {
            int firstField;
            int lastField;
            int commasBefore;
        };
        std::vector<Run> runs;
        int commasAfter = 0;  // after the last run, for empty columns at the end

        // The title's first and last 8 bytes, for titles of 8 bytes or more.
        std::uint64_t head = 0, tail = 0;
    };

    ReportDefinition(QString baseName, QByteArray header, std::vector<Entry> entries);

    const QString baseName;   // ends with "_": "Room_Activity_"
    const QByteArray header;  // the report's first line
    const std::vector<Entry> entries;

    // The entry for a title field as written in a log (any letter case), or
    // nullptr when the report does not take it. Most fields are turned away
    // by their first and last bytes alone.
    const Entry* entryFor(const char* begin, const char* end) const {
        return mayBeTitle(begin, end) ? compare(begin, end) : nullptr;
    }

private:
    // False when the field cannot be one of the titles, by its ends alone.
    bool mayBeTitle(const char* begin, const char* end) const {
        if (begin == end) return false;
        return m_firstBytes.has(static_cast<unsigned char>(*begin)) &&
               m_lastBytes.has(static_cast<unsigned char>(end[-1]));
    }
    const Entry* compare(const char* begin, const char* end) const;

    // A set of bytes, small enough to stay in the cache while logs stream by.
    struct ByteSet {
        std::array<std::uint64_t, 4> bits{};
        void add(unsigned char byte) { bits[byte >> 6] |= std::uint64_t(1) << (byte & 63); }
        bool has(unsigned char byte) const { return bits[byte >> 6] >> (byte & 63) & 1; }
    };
    // The bytes a field can begin and end with and still be a title in upper
    // case: the first and last letters of a title in either case, and the
    // bytes of non-ASCII characters.
    ByteSet m_firstBytes;
    ByteSet m_lastBytes;
    qsizetype m_longestTitle = 0;
};

const ReportDefinition& reportDefinition(ReportKind kind);

}  // namespace reports
