// The reports' index of a block of log text: each way of making it marks the
// line feeds and the places of possible entries exactly as they are defined,
// whatever the block's length and however its lines and fields fall.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "admin/core/reports/BlockIndex.h"
#include "admin/core/reports/ReportDefinition.h"

using reports::BlockIndex;

namespace {

// A place by its definition: a comma before a field of a title's length
// whose last byte is not a comma, or a non-ASCII byte.
bool isPlace(const std::string& text, std::size_t at, std::size_t size) {
    if (static_cast<unsigned char>(text[at]) >= 0x80) return true;
    if (text[at] != ',') return false;
    for (const std::size_t span :
         {std::size_t(9), std::size_t(10)}) {  // CHECK_IN and the nine-letter titles
        if (at + span >= size) continue;
        if (text[at + span] == ',' && text[at + span - 1] != ',') return true;
    }
    return false;
}

TEST(BlockIndexTest, EveryWayOfMakingItMarksTheLineFeedsAndPlacesAsDefined) {
    // Commas, line feeds and letters dense enough that fields of every
    // length, empty ones and the bytes of "ü" fall on every word boundary.
    std::mt19937 random(20061206);
    const std::string alphabet = ",,,\n\nCHECK_IN,ROOM_MOVEabc0123 \r\xC3\xBC";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(4096 + 64, '\0');  // 64 readable bytes past any block's end
    for (std::size_t i = 0; i < 4096; ++i) text[i] = alphabet[pick(random)];
    // Commas a title's span apart, the second at a word's start after a comma
    // at the end of the word before: no place, whichever word sees it.
    for (std::size_t word = 2; word < 64; word += 3)
        text.replace(64 * word - 10, 11, ",ROOM_MO,,,");

    const reports::ReportDefinition& report =
        reports::reportDefinition(reports::ReportKind::RoomActivity);
    for (const auto instructions :
         {BlockIndex::Instructions::Widest, BlockIndex::Instructions::Sse2,
          BlockIndex::Instructions::OneByteAtATime}) {
        BlockIndex index(report, instructions);
        for (const std::size_t size : {0, 1, 63, 64, 65, 127, 128, 1000, 4095, 4096}) {
            SCOPED_TRACE(testing::Message()
                         << "instructions " << int(instructions) << ", size " << size);
            index.index(text.data(), size);
            std::size_t lineFeeds = 0, unfinishedLine = 0;
            std::vector<std::uint64_t> places((size + 63) / 64);
            for (std::size_t at = 0; at < size; ++at) {
                if (text[at] == '\n') ++lineFeeds, unfinishedLine = at + 1;
                if (isPlace(text, at, size)) places[at / 64] |= std::uint64_t(1) << (at % 64);
            }
            EXPECT_EQ(index.lineFeedCount(), lineFeeds);
            EXPECT_EQ(index.unfinishedLine(), unfinishedLine);

            std::vector<std::uint64_t> indexed(places.size());
            for (const std::uint32_t word : index.wordsWithPlaces())
                indexed[word] = index.places(word);
            EXPECT_EQ(indexed, places);

            for (std::size_t at = 0; at < size; at += 37) {
                const std::size_t start = text.rfind('\n', at == 0 ? 0 : at - 1);
                EXPECT_EQ(index.lineStart(at),
                          at == 0 || start == std::string::npos ? 0 : start + 1)
                    << at;
                const std::size_t end = text.find('\n', at);
                EXPECT_EQ(index.lineEnd(at),
                          end < size ? std::optional<std::size_t>(end) : std::nullopt)
                    << at;
            }
        }
    }
}

}  // namespace
