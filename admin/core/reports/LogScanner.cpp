#include "admin/core/reports/LogScanner.h"

#include <QFile>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "admin/core/reports/ReportFile.h"
#include "common/ErrorNumbers.h"
#include "platform/datefmt.h"

namespace reports {

namespace {

constexpr int kFieldsNeeded = 6;
// Readable bytes kept after the data in the buffer, so the first 64 bytes of
// any line can be loaded whole however short the line is, and a field copied
// 32 bytes at a time.
constexpr std::size_t kSlack = 64;

// Copies [from, to) to `out` 32 bytes, then 16 at a time, reading up to 31
// bytes past `to` and writing as far past the copy (both slacks hold them);
// returns the end of the copy. Fields are short: a library copy costs more in
// choosing its way than in copying.
char* copyRun(char* out, const char* from, const char* to) {
    std::memcpy(out, from, 32);  // most fields end within it
    for (std::ptrdiff_t done = 32; done < to - from; done += 16)
        std::memcpy(out + done, from + done, 16);
    return out + (to - from);
}

// The first comma in [from, end), or nullptr. Eight bytes are tested at a
// time, exactly (no carry crosses from one byte into the next), and the last
// few one by one; fields are short, and a library search costs more in
// setting up than in searching.
const char* nextComma(const char* from, const char* end) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kCommas = 0x2C2C2C2C2C2C2C2CULL;
        constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
        for (; end - from >= 8; from += 8) {
            std::uint64_t word;
            std::memcpy(&word, from, 8);
            const std::uint64_t x = word ^ kCommas;  // a zero byte where a comma is
            const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
            if (zero != 0) return from + (std::countr_zero(zero) >> 3);
        }
    }
    for (; from != end; ++from)
        if (*from == ',') return from;
    return nullptr;
}

// The commas among the first 64 bytes of a line of `length` bytes, one bit
// each from the line's start. The buffer's slack makes the 64 bytes readable.
std::uint64_t leadingCommas(const char* begin, std::size_t length) {
#if defined(__SSE2__)
    const __m128i comma = _mm_set1_epi8(',');
    const auto* chunks = reinterpret_cast<const __m128i*>(begin);
    const auto commasIn = [&](int chunk) {
        const __m128i bytes = _mm_loadu_si128(chunks + chunk);
        return std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, comma))))
               << (16 * chunk);
    };
    const std::uint64_t mask = commasIn(0) | commasIn(1) | commasIn(2) | commasIn(3);
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) mask |= std::uint64_t(begin[i] == ',') << i;
#endif
    return length < 64 ? mask & ((std::uint64_t(1) << length) - 1) : mask;
}

// The commas of one line, from its start: the first 64 bytes, where an entry
// line has its time, id, title and rooms, are looked at in one go; beyond
// them commas are searched for one at a time.
class Commas {
public:
    Commas(const char* begin, const char* end)
        : m_begin(begin),
          m_end(end),
          m_from(end - begin < 64 ? end : begin + 64),
          m_mask(leadingCommas(begin, std::size_t(end - begin))) {}

    // The next comma, or nullptr at the end of the line.
    const char* next() {
        if (m_mask != 0) {
            const char* comma = m_begin + std::countr_zero(m_mask);
            m_mask &= m_mask - 1;
            return comma;
        }
        const char* comma = nextComma(m_from, m_end);
        if (comma) m_from = comma + 1;
        return comma;
    }

private:
    const char* m_begin;
    const char* m_end;
    const char* m_from;  // where the search goes on once the mask is used up
    std::uint64_t m_mask;
};

}  // namespace

LogScanner::LogScanner(const ReportDefinition& report, ReportFile& out) : m_report(report), m_out(out) {}

void LogScanner::countLines(int lines) {
    m_linesRead += lines;
    for (m_linesToYield -= lines; m_linesToYield <= 0; m_linesToYield += kLinesPerYield)
        if (m_yield) m_yield();
}

std::size_t LogScanner::takeLines(const char* data) {
    // The pauses due in the block are made before its entries are written.
    countLines(int(m_index.lineFeedCount()));
    std::size_t seenUpTo = 0;  // where the last line looked at ends
    for (const std::uint32_t word : m_index.wordsWithPlaces())
        for (std::uint64_t places = m_index.places(word); places != 0; places &= places - 1) {
            const std::size_t at = 64 * std::size_t(word) + std::size_t(std::countr_zero(places));
            if (at < seenUpTo) continue;
            const std::optional<std::size_t> lineEnd = m_index.lineEnd(at);
            if (!lineEnd) return m_index.unfinishedLine();  // the line goes on in the next block
            takeEntry(data + m_index.lineStart(at), data + *lineEnd);
            seenUpTo = *lineEnd;
        }
    return m_index.unfinishedLine();
}

void LogScanner::scan(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw platform::Error(errnum::PathFileAccess, QStringLiteral("Path/File access error: ") + path +
                                                       QStringLiteral(" (") + file.errorString() + QLatin1Char(')'));
    // The buffer holds the unfinished line of the last block followed by the
    // next block; it only grows for a line longer than a block.
    std::size_t carried = 0;
    for (;;) {
        const std::size_t needed = carried + std::size_t(m_blockSize) + kSlack;
        if (m_buffer.size() < needed) m_buffer.resize(needed);
        char* const data = m_buffer.data();
        const qint64 got = file.read(data + carried, m_blockSize);
        if (got < 0)
            throw platform::Error(errnum::DeviceIO, QStringLiteral("Device I/O error: ") + path + QStringLiteral(" (") +
                                                     file.errorString() + QLatin1Char(')'));
        const char* const end = data + carried + got;
        if (got == 0) {
            if (carried > 0) {
                countLines(1);
                takeEntry(data, end);
            }
            return;
        }
        m_index.index(data, std::size_t(end - data));
        const char* const line = data + takeLines(data);
        carried = std::size_t(end - line);
        if (carried > 0 && line != data) std::memmove(data, line, carried);
    }
}

bool LogScanner::onOrAfterFirstDay(const char* begin, const char* end) const {
    const auto time = platform::datefmt::parseGeneralDate(QString::fromUtf8(begin, end - begin));
    return time && time->date() >= *m_entriesFrom;
}

void LogScanner::takeEntry(const char* begin, const char* end) {
    if (end > begin && end[-1] == '\r') --end;

    Commas commas(begin, end);
    const char* fieldEnd[kFieldsNeeded];
    for (int field = 0; field < 3; ++field)
        if (!(fieldEnd[field] = commas.next())) return;
    const ReportDefinition::Entry* entry = m_report.entryFor(fieldEnd[1] + 1, fieldEnd[2]);
    if (!entry || (m_entriesFrom && !onOrAfterFirstDay(begin, fieldEnd[0]))) return;
    for (int field = 3; field < kFieldsNeeded - 1; ++field)
        if (!(fieldEnd[field] = commas.next())) return;
    // The description ends at its own first comma, if it has one.
    const char* lastComma = commas.next();
    fieldEnd[kFieldsNeeded - 1] = lastComma ? lastComma : end;

    // The runs are parts of the line, apart, and each comma stands for a column.
    char* out = m_out.beginLine(std::size_t(end - begin) + entry->columns.size());
    for (const ReportDefinition::Entry::Run& run : entry->runs) {
        for (int i = 0; i < run.commasBefore; ++i) *out++ = ',';
        out = copyRun(out, run.firstField == 0 ? begin : fieldEnd[run.firstField - 1] + 1,
                      fieldEnd[run.lastField]);
    }
    for (int i = 0; i < entry->commasAfter; ++i) *out++ = ',';
    m_out.endLine(out);
    ++m_linesWritten;
}

}  // namespace reports
