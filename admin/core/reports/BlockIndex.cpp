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

// Where the index's bits go. `places` has a spare word before the first,
// so that the first word's predecessor (which has none) can be finished
// like any other: it is written there and never read.
struct IndexArrays {
    std::uint64_t* lineFeeds;
    std::uint64_t* places;
    std::uint32_t* wordsWithPlaces;
};

// Every comma is a place for a report with a title too long for a word's
// span, or with more spans than are counted.
constexpr int kEveryComma = -1;

// What the index keeps of each word, made as the words are read; a word's
// places are known once the next word's commas are. `Spans` is the number of
// title spans (or kEveryComma): known when the code is made, its loop costs
// no branches and its shifts stay in registers.
template <int Spans>
class IndexWriter {
public:
    IndexWriter(const BlockIndex::TitleSpans& spans, std::size_t size, IndexArrays arrays)
        : m_size(size), m_arrays(arrays) {
        for (int i = 0; i < Spans; ++i) m_span[i] = spans.span[i];
    }

    std::size_t words() const { return (m_size + 63) / 64; }
    // The words before the last, whose bytes all lie in the block.
    std::size_t wholeWords() const { return words() == 0 ? 0 : words() - 1; }

    // Takes the bits of the next word, the block's bytes 64 * word on.
    void add(std::size_t word, WordBits bits) {
        // Commas that close a field of at least one byte: a title is never
        // empty, and many lines have empty fields after their third.
        const std::uint64_t closings = bits.commas & ~(bits.commas << 1 | m_last.commas >> 63);
        finish(word - 1, closings);
        m_arrays.lineFeeds[word] = bits.lineFeeds;
        m_lineFeedCount += std::size_t(popcount(bits.lineFeeds));
        m_last = bits;
        m_lastClosings = closings;
    }
    // Takes the last word's bits, less those of the bytes past the block's
    // end, and finishes it.
    void addLast(WordBits bits) {
        if (words() == 0) return;
        const std::size_t word = words() - 1;
        const std::uint64_t kept = ~std::uint64_t(0) >> (64 * words() - m_size);
        add(word, {bits.lineFeeds & kept, bits.commas & kept, bits.nonAscii & kept});
        finish(word, 0);
    }

    std::size_t placeWords() const { return m_placeWords; }
    std::size_t lineFeedCount() const { return m_lineFeedCount; }

private:
    // Without a popcount instruction to rely on: the bits of each byte added
    // up (where the processor has one, the compiler makes it of this).
    static int popcount(std::uint64_t x) {
        x -= x >> 1 & 0x5555555555555555ULL;
        x = (x & 0x3333333333333333ULL) + (x >> 2 & 0x3333333333333333ULL);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
        return int((x * 0x0101010101010101ULL) >> 56);
    }

    // Finishes `word` (the one before the first is finished into the spare
    // word, with no places: its bits are all clear).
    void finish(std::size_t word, std::uint64_t nextClosings) {
        std::uint64_t ahead = Spans == kEveryComma ? ~std::uint64_t(0) : 0;  // a closing a span on
        for (int i = 0; i < Spans; ++i)
            ahead |= m_lastClosings >> m_span[i] | nextClosings << (64 - m_span[i]);
        const std::uint64_t places = (m_last.commas & ahead) | m_last.nonAscii;
        m_arrays.places[word] = places;
        m_arrays.wordsWithPlaces[m_placeWords] = std::uint32_t(word);
        m_placeWords += places != 0;
    }

    int m_span[Spans > 0 ? Spans : 1]{};
    const std::size_t m_size;
    const IndexArrays m_arrays;
    WordBits m_last{};
    std::uint64_t m_lastClosings = 0;
    std::size_t m_placeWords = 0;
    std::size_t m_lineFeedCount = 0;
};

// The bits of the 64 bytes at `bytes`, one byte at a time: for processors
// without the instructions below, and the measure of those that have them.
WordBits bitsOneByteAtATime(const char* bytes) {
    WordBits bits{};
    for (int i = 0; i < 64; ++i) {
        bits.lineFeeds |= std::uint64_t(bytes[i] == '\n') << i;
        bits.commas |= std::uint64_t(bytes[i] == ',') << i;
        bits.nonAscii |= std::uint64_t(static_cast<unsigned char>(bytes[i]) >= 0x80) << i;
    }
    return bits;
}

#if STAVIO_X86_INDEX
WordBits bitsSse2(const char* bytes) {
    const __m128i lf = _mm_set1_epi8('\n'), comma = _mm_set1_epi8(',');
    const auto mask = [](__m128i matches, int chunk) {
        return std::uint64_t(std::uint32_t(_mm_movemask_epi8(matches))) << (16 * chunk);
    };
    const auto* chunks = reinterpret_cast<const __m128i*>(bytes);
    WordBits bits{};
    for (int chunk = 0; chunk < 4; ++chunk) {
        const __m128i chunkBytes = _mm_loadu_si128(chunks + chunk);
        bits.lineFeeds |= mask(_mm_cmpeq_epi8(chunkBytes, lf), chunk);
        bits.commas |= mask(_mm_cmpeq_epi8(chunkBytes, comma), chunk);
        bits.nonAscii |= mask(chunkBytes, chunk);
    }
    return bits;
}

[[gnu::target("avx2")]] inline std::uint64_t maskAvx2(__m256i low, __m256i high) {
    return std::uint64_t(std::uint32_t(_mm256_movemask_epi8(low))) |
           std::uint64_t(std::uint32_t(_mm256_movemask_epi8(high))) << 32;
}

[[gnu::target("avx2")]] inline WordBits bitsAvx2(const char* bytes) {
    const __m256i lf = _mm256_set1_epi8('\n'), comma = _mm256_set1_epi8(',');
    const auto* chunks = reinterpret_cast<const __m256i*>(bytes);
    const __m256i low = _mm256_loadu_si256(chunks), high = _mm256_loadu_si256(chunks + 1);
    return {maskAvx2(_mm256_cmpeq_epi8(low, lf), _mm256_cmpeq_epi8(high, lf)),
            maskAvx2(_mm256_cmpeq_epi8(low, comma), _mm256_cmpeq_epi8(high, comma)),
            maskAvx2(low, high)};
}
#endif

// Each indexes a block with the writer, which it takes by value and gives
// back so that what it keeps stays in registers and not in memory the index
// arrays might share. The AVX2 one has its own copy of the loop, so that its
// bits are made inline with its instructions.
template <int Spans, WordBits (*bitsOf)(const char*)>
IndexWriter<Spans> indexWords(const char* data, IndexWriter<Spans> writer) {
    for (std::size_t word = 0; word < writer.wholeWords(); ++word)
        writer.add(word, bitsOf(data + 64 * word));
    writer.addLast(bitsOf(data + 64 * writer.wholeWords()));
    return writer;
}

#if STAVIO_X86_INDEX
// AVX2 and the shifts by any count of BMI2 came together in processors.
bool hasAvx2() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2");
}

template <int Spans>
[[gnu::target("avx2,bmi2")]] IndexWriter<Spans> indexAvx2(const char* data,
                                                          IndexWriter<Spans> writer) {
    for (std::size_t word = 0; word < writer.wholeWords(); ++word)
        writer.add(word, bitsAvx2(data + 64 * word));
    writer.addLast(bitsAvx2(data + 64 * writer.wholeWords()));
    return writer;
}
#endif

struct Indexed {
    std::size_t placeWords, lineFeedCount;
};

template <int Spans>
Indexed indexWith(BlockIndex::Instructions instructions, const char* data, std::size_t size,
                  const BlockIndex::TitleSpans& spans, IndexArrays arrays) {
    const IndexWriter<Spans> writer(spans, size, arrays);
    IndexWriter<Spans> (*index)(const char*, IndexWriter<Spans>) =
        indexWords<Spans, bitsOneByteAtATime>;
#if STAVIO_X86_INDEX
    if (instructions == BlockIndex::Instructions::Sse2 ||
        (instructions == BlockIndex::Instructions::Widest && !hasAvx2()))
        index = indexWords<Spans, bitsSse2>;
    else if (instructions == BlockIndex::Instructions::Widest)
        index = indexAvx2<Spans>;
#else
    (void)instructions;
#endif
    const IndexWriter<Spans> written = index(data, writer);
    return {written.placeWords(), written.lineFeedCount()};
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
        m_places.resize(m_words + 1);
        m_wordsWithPlaces.resize(m_words);
    }
    const IndexArrays arrays{m_lineFeeds.data(), m_places.data() + 1, m_wordsWithPlaces.data()};
    static constexpr Indexed (*kIndexWith[TitleSpans::kMost + 1])(
        Instructions, const char*, std::size_t, const TitleSpans&, IndexArrays) = {
        indexWith<0>, indexWith<1>, indexWith<2>, indexWith<3>, indexWith<4>};
    const Indexed indexed =
        m_spans.any ? indexWith<kEveryComma>(m_instructions, data, size, m_spans, arrays)
                    : kIndexWith[m_spans.count](m_instructions, data, size, m_spans, arrays);
    m_placeWords = indexed.placeWords;
    m_lineFeedCount = indexed.lineFeedCount;
    m_unfinishedLine = 0;
    // The last line feed, looked for from the block's end: lines are short.
    for (std::size_t word = m_words; word-- > 0;)
        if (m_lineFeeds[word] != 0) {
            m_unfinishedLine = 64 * word + std::size_t(64 - std::countl_zero(m_lineFeeds[word]));
            break;
        }
}

}  // namespace reports
