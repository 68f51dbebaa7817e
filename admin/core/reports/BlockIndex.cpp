#include "admin/core/reports/BlockIndex.h"

#include <algorithm>
#include <bit>

#include "admin/core/reports/ReportDefinition.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define STAVIO_X86_INDEX 1
#endif

namespace reports {

namespace {

// The bytes of one word: line feeds, commas and non-ASCII bytes.
struct WordBits {
    std::uint64_t lineFeeds, commas, nonAscii;
};

// What the index keeps of each word, made as the words are read; a word's
// places are known once the next word's commas are.
class IndexWriter {
public:
    IndexWriter(const BlockIndex::TitleSpans& spans, std::size_t size, std::uint64_t* lineFeeds,
                std::uint64_t* places, std::uint32_t* wordsWithPlaces)
        : m_spans(spans),
          m_size(size),
          m_lineFeeds(lineFeeds),
          m_places(places),
          m_wordsWithPlaces(wordsWithPlaces) {}

    std::size_t words() const { return (m_size + 63) / 64; }

    // Takes the bits of the next word, the block's bytes 64 * word on.
    void add(std::size_t word, WordBits bits) {
        if (64 * word + 64 > m_size) {  // the last word: drop the bytes past the block's end
            const std::uint64_t kept = ~std::uint64_t(0) >> (64 - (m_size - 64 * word));
            bits = {bits.lineFeeds & kept, bits.commas & kept, bits.nonAscii & kept};
        }
        // Commas that close a field of at least one byte.
        const std::uint64_t closings = bits.commas & ~(bits.commas << 1 | m_last.commas >> 63);
        if (word > 0) finish(word - 1, bits.commas, closings);
        m_lineFeeds[word] = bits.lineFeeds;
        m_lineFeedCount += std::size_t(popcount(bits.lineFeeds));
        m_lastLineFeedWord = bits.lineFeeds ? word : m_lastLineFeedWord;
        m_last = bits;
        m_lastClosings = closings;
    }

    // Finishes the last word.
    void finish() {
        if (words() > 0) finish(words() - 1, 0, 0);
    }
    std::size_t placeWords() const { return m_placeWords; }
    std::size_t lineFeedCount() const { return m_lineFeedCount; }
    std::size_t unfinishedLine() const {
        const std::uint64_t lineFeeds = m_lineFeedCount ? m_lineFeeds[m_lastLineFeedWord] : 0;
        return lineFeeds ? 64 * m_lastLineFeedWord + std::size_t(64 - std::countl_zero(lineFeeds))
                         : 0;
    }

private:
    // Without a popcount instruction to rely on: the bits of each byte added up.
    static int popcount(std::uint64_t x) {
        x -= x >> 1 & 0x5555555555555555ULL;
        x = (x & 0x3333333333333333ULL) + (x >> 2 & 0x3333333333333333ULL);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
        return int((x * 0x0101010101010101ULL) >> 56);
    }

    void finish(std::size_t word, std::uint64_t nextCommas, std::uint64_t nextClosings) {
        const std::uint64_t commas = m_last.commas;
        // Commas that open a field of at least one byte.
        const std::uint64_t openings = commas & ~(commas >> 1 | nextCommas << 63);
        std::uint64_t closed = m_spans.any ? commas : 0;
        for (int i = 0; i < m_spans.count; ++i) {
            const int span = m_spans.span[i];
            closed |= openings & (m_lastClosings >> span | nextClosings << (64 - span));
        }
        const std::uint64_t places = closed | m_last.nonAscii;
        m_places[word] = places;
        m_wordsWithPlaces[m_placeWords] = std::uint32_t(word);
        m_placeWords += places != 0;
    }

    const BlockIndex::TitleSpans m_spans;
    const std::size_t m_size;
    std::uint64_t* const m_lineFeeds;
    std::uint64_t* const m_places;
    std::uint32_t* const m_wordsWithPlaces;
    WordBits m_last{};
    std::uint64_t m_lastClosings = 0;
    std::size_t m_placeWords = 0;
    std::size_t m_lineFeedCount = 0;
    std::size_t m_lastLineFeedWord = 0;
};

// Each takes the writer by value and gives it back, so that what it keeps
// stays in registers and not in memory the index arrays might share.
using IndexWords = IndexWriter (*)(const char* data, IndexWriter writer);

// One byte at a time: for processors without the instructions below, and the
// measure of those that have them.
IndexWriter indexWordsPortable(const char* data, IndexWriter writer) {
    for (std::size_t word = 0; word < writer.words(); ++word) {
        WordBits bits{};
        for (int i = 0; i < 64; ++i) {
            const char c = data[64 * word + i];
            bits.lineFeeds |= std::uint64_t(c == '\n') << i;
            bits.commas |= std::uint64_t(c == ',') << i;
            bits.nonAscii |= std::uint64_t(static_cast<unsigned char>(c) >= 0x80) << i;
        }
        writer.add(word, bits);
    }
    writer.finish();
    return writer;
}

#if STAVIO_X86_INDEX
IndexWriter indexWordsSse2(const char* data, IndexWriter writer) {
    const __m128i lf = _mm_set1_epi8('\n'), comma = _mm_set1_epi8(',');
    const auto mask = [](__m128i matches, int chunk) {
        return std::uint64_t(std::uint32_t(_mm_movemask_epi8(matches))) << (16 * chunk);
    };
    for (std::size_t word = 0; word < writer.words(); ++word) {
        const auto* chunks = reinterpret_cast<const __m128i*>(data + 64 * word);
        WordBits bits{};
        for (int chunk = 0; chunk < 4; ++chunk) {
            const __m128i bytes = _mm_loadu_si128(chunks + chunk);
            bits.lineFeeds |= mask(_mm_cmpeq_epi8(bytes, lf), chunk);
            bits.commas |= mask(_mm_cmpeq_epi8(bytes, comma), chunk);
            bits.nonAscii |= mask(bytes, chunk);
        }
        writer.add(word, bits);
    }
    writer.finish();
    return writer;
}

[[gnu::target("avx2")]] inline std::uint64_t maskAvx2(__m256i low, __m256i high) {
    return std::uint64_t(std::uint32_t(_mm256_movemask_epi8(low))) |
           std::uint64_t(std::uint32_t(_mm256_movemask_epi8(high))) << 32;
}

[[gnu::target("avx2")]] IndexWriter indexWordsAvx2(const char* data, IndexWriter writer) {
    const __m256i lf = _mm256_set1_epi8('\n'), comma = _mm256_set1_epi8(',');
    for (std::size_t word = 0; word < writer.words(); ++word) {
        const auto* chunks = reinterpret_cast<const __m256i*>(data + 64 * word);
        const __m256i low = _mm256_loadu_si256(chunks), high = _mm256_loadu_si256(chunks + 1);
        writer.add(word, {maskAvx2(_mm256_cmpeq_epi8(low, lf), _mm256_cmpeq_epi8(high, lf)),
                          maskAvx2(_mm256_cmpeq_epi8(low, comma), _mm256_cmpeq_epi8(high, comma)),
                          maskAvx2(low, high)});
    }
    writer.finish();
    return writer;
}

#endif

IndexWords indexWordsFor(BlockIndex::Instructions instructions) {
#if STAVIO_X86_INDEX
    switch (instructions) {
        case BlockIndex::Instructions::Widest:
            return __builtin_cpu_supports("avx2") ? indexWordsAvx2 : indexWordsSse2;
        case BlockIndex::Instructions::Sse2:
            return indexWordsSse2;
        case BlockIndex::Instructions::OneByteAtATime:
            break;
    }
#else
    (void)instructions;
#endif
    return indexWordsPortable;
}

}  // namespace

BlockIndex::BlockIndex(const ReportDefinition& report, Instructions instructions)
    : m_instructions(instructions) {
    for (const ReportDefinition::Entry& entry : report.entries) {
        const int span = int(entry.title.size()) + 1;
        if (std::find(m_spans.span, m_spans.span + m_spans.count, span) !=
            m_spans.span + m_spans.count)
            continue;
        if (span < 2 || span > 63 || m_spans.count == TitleSpans::kMost)
            m_spans.any = true;
        else
            m_spans.span[m_spans.count++] = span;
    }
}

void BlockIndex::index(const char* data, std::size_t size) {
    m_words = (size + 63) / 64;
    if (m_lineFeeds.size() < m_words) {
        m_lineFeeds.resize(m_words);
        m_places.resize(m_words);
        m_wordsWithPlaces.resize(m_words);
    }
    IndexWriter writer(m_spans, size, m_lineFeeds.data(), m_places.data(),
                       m_wordsWithPlaces.data());
    const IndexWriter written = indexWordsFor(m_instructions)(data, writer);
    m_placeWords = written.placeWords();
    m_lineFeedCount = written.lineFeedCount();
    m_unfinishedLine = written.unfinishedLine();
}

}  // namespace reports
