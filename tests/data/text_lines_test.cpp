// Tests of SplitTextLines and JoinTextLines.
#include "data/text_lines.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace orva {
namespace {

using test::Bytes;
using Lines = std::vector<std::string>;

TEST(TextLines, EveryLineBreakKindEndsALine) {
    EXPECT_EQ(SplitTextLines(Bytes("a\r\nb\rc\nd")), (Lines{"a", "b", "c", "d"}));
    // CR LF is one break, LF CR two.
    EXPECT_EQ(SplitTextLines(Bytes("a\n\rb")), (Lines{"a", "", "b"}));
}

TEST(TextLines, FinalBreakAddsNoEntryButMiddleEmptyLineDoes) {
    EXPECT_EQ(SplitTextLines(Bytes("a\r\nb\r\n")), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines(Bytes("a\r\n\r\nb")), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines(Bytes("a\r\n\r\n")), (Lines{"a", ""}));
    EXPECT_EQ(SplitTextLines(Bytes("\r\n")), (Lines{""}));
    EXPECT_TRUE(SplitTextLines(Bytes("")).empty());
}

TEST(TextLines, Cp932BytesAndNulAreKept) {
    // 0x83 0x5C is one character whose trail byte looks like a backslash.
    const std::string text("\x83\x5C\x00z\r\n\x82\xA0", 8);
    const auto lines = SplitTextLines(Bytes(text));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string("\x83\x5C\x00z", 4));
    EXPECT_EQ(lines[1], "\x82\xA0");
}

TEST(TextLines, JoinThenSplitGivesTheLinesBack) {
    const Lines lines{"", "a", "", "b b"};
    const std::string joined = JoinTextLines(lines);
    EXPECT_EQ(joined, "\r\na\r\n\r\nb b\r\n");
    EXPECT_EQ(SplitTextLines(Bytes(joined)), lines);
    EXPECT_EQ(JoinTextLines({}), "");
}

}  // namespace
}  // namespace orva
