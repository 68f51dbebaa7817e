#include "admin/core/reports/ReportDefinition.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace reports {

namespace {

constexpr int kEmpty = ReportDefinition::Entry::kEmptyColumn;

std::uint64_t eightBytes(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
}

// Eight bytes with their ASCII letters in upper case, all at once: a byte
// from 'a' to 'z' loses bit 5.
std::uint64_t asciiUpper(std::uint64_t bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighBits = 0x8080808080808080ULL;
    const std::uint64_t low7 = bytes & ~kHighBits;
    const std::uint64_t fromA = low7 + (0x80 - 'a') * kOnes;      // high bit: at least 'a'
    const std::uint64_t pastZ = low7 + (0x80 - 'z' - 1) * kOnes;  // high bit: past 'z'
    const std::uint64_t lower = fromA & ~pastZ & ~bytes & kHighBits;
    return bytes - (lower >> 2);
}

bool asciiUpperEquals(const char* begin, const char* end, const ReportDefinition::Entry& entry) {
    const QByteArray& upper = entry.title;
    if (end - begin != upper.size()) return false;
    // Eight bytes or more: the first eight and the last eight, which overlap.
    if (upper.size() >= 8)
        return asciiUpper(eightBytes(begin)) == entry.head &&
               asciiUpper(eightBytes(end - 8)) == entry.tail;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        char c = begin[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != upper[i]) return false;
    }
    return true;
}

bool hasNonAscii(const char* begin, const char* end) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    for (; end - begin >= 8; begin += 8) {
        std::uint64_t word;
        std::memcpy(&word, begin, 8);
        if (word & kHighBits) return true;
    }
    return std::any_of(begin, end, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

ReportDefinition::Entry::Entry(QByteArray title_, std::vector<int> columns_)
    : title(std::move(title_)), columns(std::move(columns_)) {
    if (title.size() >= 8) {
        head = eightBytes(title.constData());
        tail = eightBytes(title.constData() + title.size() - 8);
    }
    bool firstColumn = true;
    for (const int column : columns) {
        if (!firstColumn) ++commasAfter;
        firstColumn = false;
        if (column == kEmptyColumn) continue;
        // A field right after the last one, behind its one comma, is part of the same run.
        if (!runs.empty() && commasAfter == 1 && runs.back().lastField + 1 == column)
            runs.back().lastField = column;
        else
            runs.push_back({column, column, commasAfter});
        commasAfter = 0;
    }
}

ReportDefinition::ReportDefinition(QString baseName_, QByteArray header_, std::vector<Entry> entries_)
    : baseName(std::move(baseName_)), header(std::move(header_)), entries(std::move(entries_)) {
    const auto addEitherCase = [](ByteSet& set, char upper) {
        set.add(static_cast<unsigned char>(upper));
        if (upper >= 'A' && upper <= 'Z') set.add(static_cast<unsigned char>(upper - 'A' + 'a'));
    };
    for (const Entry& entry : entries) {
        addEitherCase(m_firstBytes, entry.title.front());
        addEitherCase(m_lastBytes, entry.title.back());
    }
    for (unsigned high = 0x80; high < 0x100; ++high) {
        m_firstBytes.add(static_cast<unsigned char>(high));
        m_lastBytes.add(static_cast<unsigned char>(high));
    }
    for (const Entry& entry : entries) m_longestTitle = std::max(m_longestTitle, entry.title.size());
}

const ReportDefinition::Entry* ReportDefinition::compare(const char* begin, const char* end) const {
    for (const Entry& entry : entries)
        if (asciiUpperEquals(begin, end, entry)) return &entry;
    // Beyond ASCII a field can still become a title in upper case (a dotless
    // i becomes I). Every character gives at least one in upper case, so such
    // a field has no more characters than the title, each of at most 4 bytes.
    constexpr qsizetype kMostBytesPerCharacter = 4;
    if (end - begin > kMostBytesPerCharacter * m_longestTitle || !hasNonAscii(begin, end)) return nullptr;
    const QString upper = QString::fromUtf8(begin, end - begin).toUpper();
    for (const Entry& entry : entries)
        if (upper == QLatin1String(entry.title)) return &entry;
    return nullptr;
}

const ReportDefinition& reportDefinition(ReportKind kind) {
    static const ReportDefinition roomActivity{
        QStringLiteral("Room_Activity_"),
        "TIME, ACTION, PRIMARY_ROOM_EXTENSION, SECONDARY_ROOM_EXTENSION,COMMENT",
        {
            // Check-ins and check-outs concern one room: the secondary column stays empty.
            {"CHECK_OUT", {0, 2, 3, kEmpty, 5}},
            {"CHECK_IN", {0, 2, 3, kEmpty, 5}},
            {"ROOM_MOVE", {0, 2, 3, 4, 5}},
            {"ROOM_SWAP", {0, 2, 3, 4, 5}},
        },
    };
    static const ReportDefinition archivedMailbox{
        QStringLiteral("Archived_Room_"),
        "TIME, ACTION, PRIMARY_ROOM_EXTENSION, COMMENT",
        {
            {"ROOM_DELETE", {0, 2, 3, 5}},
        },
    };
    return kind == ReportKind::RoomActivity ? roomActivity : archivedMailbox;
}

}  // namespace reports
