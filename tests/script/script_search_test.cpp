// Label and block search, read-text bits and the scene queue.
#include "script/script_search.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace orva {
namespace {

LineRec L(uint16_t code, int16_t p1 = 0) { return LineRec{code, 0, p1, 0, 0, 0, 0}; }

TEST(LabelSearch, FirstMatchingNameWinsAndUnknownNamesGiveMinusOne) {
    const std::vector<std::string> names = {"start", "loop", "loop", "\x83\x41"};  // ア in CP932
    const std::vector<LineRec> lines = {L(0x50), L(0x4E, 2), L(0x4E, 1), L(0x14E, 3), L(0x4E, -1), L(0xFF),
                                        L(0x4E, 0)};
    // "loop" is label number 1 (the first entry), found at line 2 though number 2 comes first.
    EXPECT_EQ(GetLabelStepIn(lines, names, u"loop"), 2);
    // Only the low byte of the code counts.
    EXPECT_EQ(GetLabelStepIn(lines, names, u"\u30A2"), 3);
    // Label 0 lies after the end line: not found.
    EXPECT_EQ(GetLabelStepIn(lines, names, u"start"), -1);
    // Unknown names never match the line whose P1 is -1; comparison is case-sensitive.
    EXPECT_EQ(GetLabelStepIn(lines, names, u"missing"), -1);
    EXPECT_EQ(GetLabelStepIn(lines, names, u"LOOP"), -1);
    EXPECT_EQ(GetLabelStepIn({}, names, u"loop"), -1);
}

TEST(LabelSearch, StaysInsideTablesWithoutEndLineAndSigned16BitIndices) {
    const std::vector<std::string> names = {"a", "b"};
    const std::vector<LineRec> noEnd = {L(0x50), L(0x50)};
    EXPECT_EQ(GetLabelStepIn(noEnd, names, u"a"), -1);

    std::vector<LineRec> big(40000, L(0x50));
    big[32767] = L(0x4E, 0);
    big[32768] = L(0x4E, 1);
    EXPECT_EQ(GetLabelStepIn(big, names, u"a"), 32767);
    EXPECT_EQ(GetLabelStepIn(big, names, u"b"), -1);  // not addressable as int16
}

TEST(BlockSearch, SkipsOtherKeysAndStopsAtEndOrTableEdge) {
    // 0 if[1]  1 if[2]  2 else[2]  3 end[2]  4 else[1]  5 end[1]  6 endscript  7 end[9]
    const std::vector<LineRec> lines = {L(0x70, 1), L(0x70, 2), L(0x7E, 2), L(0x7F, 2),
                                        L(0x7E, 1), L(0x7F, 1), L(0xFF),    L(0x7F, 9)};
    EXPECT_EQ(GetElseStepIn(lines, 0, 1), 4);   // failing outer condition: its else
    EXPECT_EQ(GetElseStepIn(lines, 1, 2), 2);   // failing inner condition: its else
    EXPECT_EQ(GetElseStepIn(lines, 2, 2), 3);   // inner else skips to its end
    EXPECT_EQ(GetElseStepIn(lines, 4, 1), 5);   // outer else passes other keys' ends
    EXPECT_EQ(GetElseStepIn(lines, -1, 2), 2);  // from before the first line
    EXPECT_EQ(GetElseStepIn(lines, 0, 9), -1);  // behind the end line
    EXPECT_EQ(GetElseStepIn(lines, 100, 1), -1);
    EXPECT_EQ(GetElseStepIn(lines, -50, 1), 4);
    // A table without an end line: the scan stops at its edge.
    const std::vector<LineRec> noEnd = {L(0x70, 1), L(0x50)};
    EXPECT_EQ(GetElseStepIn(noEnd, 0, 1), -1);
    // The key is matched as a signed 16-bit value.
    const std::vector<LineRec> neg = {L(0x7F, -3), L(0xFF)};
    EXPECT_EQ(GetElseStepIn(neg, -1, -3), 0);
}

TEST(Kidoku, BitPositionsAndUnrecordedNumbers) {
    std::vector<uint8_t> tbl(kKidokuTblSize, 0);
    MarkKidokuIn(tbl, 0, 0);
    EXPECT_EQ(tbl[0], 0x01);
    MarkKidokuIn(tbl, 1, 9);
    EXPECT_EQ(tbl[16384 + 1], 0x02);
    EXPECT_TRUE(CheckKidokuIn(tbl, 1, 9));
    EXPECT_FALSE(CheckKidokuIn(tbl, 1, 8));
    EXPECT_FALSE(CheckKidokuIn(tbl, 0, 9));
    MarkKidokuIn(tbl, 14, 131071);  // last bit of script 14's block
    EXPECT_EQ(tbl[15 * 16384 - 1], 0x80);
    EXPECT_TRUE(CheckKidokuIn(tbl, 14, 131071));

    const std::vector<uint8_t> before = tbl;
    MarkKidokuIn(tbl, 15, 0);
    MarkKidokuIn(tbl, -1, 0);
    MarkKidokuIn(tbl, 0, -1);
    MarkKidokuIn(tbl, 0, -8);
    MarkKidokuIn(tbl, 13, 131072);  // would spill into script 14's block
    EXPECT_EQ(tbl, before);
    std::fill(tbl.begin(), tbl.end(), 0xFF);
    EXPECT_FALSE(CheckKidokuIn(tbl, 15, 0));
    EXPECT_FALSE(CheckKidokuIn(tbl, -1, 0));
    EXPECT_FALSE(CheckKidokuIn(tbl, 0, -1));
    EXPECT_FALSE(CheckKidokuIn(tbl, 0, 131072));
    // A short table is never read or written past its end.
    std::vector<uint8_t> small(4, 0);
    MarkKidokuIn(small, 1, 0);
    EXPECT_FALSE(CheckKidokuIn(small, 1, 0));
    EXPECT_EQ(small, std::vector<uint8_t>(4, 0));
}

TEST(SceneQueue, PositionsDuplicatesAndFullQueue) {
    std::array<int32_t, kSceneTblEntries + 1> tbl{};
    EXPECT_EQ(AddSceneTblIn(tbl, 101), 1);
    EXPECT_EQ(AddSceneTblIn(tbl, 102), 2);
    EXPECT_EQ(AddSceneTblIn(tbl, 101), -1);
    EXPECT_EQ(tbl[3], 0);
    EXPECT_EQ(GetSceneTblIn(tbl, 102), 2);
    EXPECT_EQ(GetSceneTblIn(tbl, 103), -1);
    for (int s = 3; s <= 120; ++s) EXPECT_EQ(AddSceneTblIn(tbl, 1000 + s), s);
    const auto full = tbl;
    EXPECT_EQ(AddSceneTblIn(tbl, 5000), 0);  // the 121st distinct script
    EXPECT_EQ(tbl, full);
    EXPECT_EQ(tbl[0], 0);                    // entry 0 is never used
    EXPECT_EQ(GetSceneTblIn(tbl, 1120), 120);
}

}  // namespace
}  // namespace orva
