#pragma once
// Where a block of log text has its line feeds and where it may have a line
// the report takes, one bit per byte: made 32 bytes at a time where the
// processor can and 16 at a time otherwise, so that lines are counted and
// most of them passed over without being looked at one by one.
//
// A line is taken only when its third field is a title in upper case. A field
// of ASCII bytes is one only when it has a title's length between commas and
// its last byte is not a comma; so a line may be taken only when it has such
// commas, or a byte of a non-ASCII character.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace reports {

class ReportDefinition;

class BlockIndex {
public:
    // The processor's instructions the bits are made with: the widest it has,
    // or (to compare them in tests) 16 bytes or one byte at a time.
    enum class Instructions { Widest, Sse2, OneByteAtATime };

    explicit BlockIndex(const ReportDefinition& report,
                        Instructions instructions = Instructions::Widest);

    // Indexes [data, data + size). Reads up to 63 bytes past the end, which
    // must be readable; their bits are left clear.
    void index(const char* data, std::size_t size);

    // How many line feeds the block holds.
    std::size_t lineFeedCount() const { return m_lineFeedCount; }
    // Where the block's unfinished last line begins (its size when it ends
    // with a line feed; 0 when it has none).
    std::size_t unfinishedLine() const { return m_unfinishedLine; }

    // The words (of 64 bytes from 64 * word on) that hold places where a line
    // the report takes may be, in order, and those places, one bit per byte:
    // no line the report takes is without one.
    std::span<const std::uint32_t> wordsWithPlaces() const {
        return {m_wordsWithPlaces.data(), m_placeWords};
    }
    std::uint64_t places(std::size_t word) const { return m_places[word + 1]; }

    // Where the line holding byte `at` begins: after the line feed before it,
    // or at the block's start.
    std::size_t lineStart(std::size_t at) const {
        std::size_t word = at / 64;
        std::uint64_t before = m_lineFeeds[word] & ((std::uint64_t(1) << (at % 64)) - 1);
        while (before == 0) {
            if (word == 0) return 0;
            before = m_lineFeeds[--word];
        }
        return 64 * word + std::size_t(64 - std::countl_zero(before));
    }
    // The line feed that ends the line holding byte `at`, or nullopt when the
    // block ends first.
    std::optional<std::size_t> lineEnd(std::size_t at) const {
        std::size_t word = at / 64;
        std::uint64_t after = m_lineFeeds[word] & (~std::uint64_t(0) << (at % 64));
        while (after == 0) {
            if (++word == m_words) return std::nullopt;
            after = m_lineFeeds[word];
        }
        return 64 * word + std::size_t(std::countr_zero(after));
    }

    // The distances between the commas around a title: its length + 1.
    struct TitleSpans {
        static constexpr int kMost = 4;
        int span[kMost];
        int count;
        bool any;  // a title too long for a word, or more spans: every comma is a place
    };

private:
    Instructions m_instructions;
    TitleSpans m_spans{};
    std::size_t m_words = 0;
    std::size_t m_lineFeedCount = 0;
    std::size_t m_unfinishedLine = 0;
    std::size_t m_placeWords = 0;
    std::vector<std::uint64_t> m_lineFeeds;
    std::vector<std::uint64_t> m_places;  // from a spare word on, before the first
    std::vector<std::uint32_t> m_wordsWithPlaces;
};

}  // namespace reports
