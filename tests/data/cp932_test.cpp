// Tests of the CP932 / UTF-16 / UTF-8 conversions and the CP932-aware byte helpers.
#include "data/cp932.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orva {
namespace {

std::string Pair(int lead, int trail) {
    return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

bool IsTrail(int t) { return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC); }

TEST(Cp932, JapaneseTextRoundTripsThroughUtf8AndUtf16) {
    const std::string utf8 = "テスト漢字 abc ｱｲｳ ＡＢ";
    const auto cp932 = Utf8ToCp932(utf8);
    ASSERT_TRUE(cp932.has_value());
    EXPECT_EQ(cp932->substr(0, 6), "\x83\x65\x83\x58\x83\x67");  // テスト
    EXPECT_EQ(Cp932ToUtf8(*cp932), utf8);
    EXPECT_EQ(Utf16ToUtf8(Cp932ToUtf16(*cp932)), utf8);
    EXPECT_EQ(Utf8ToUtf16(utf8), Cp932ToUtf16(*cp932));
    // Backslash and tilde stay ASCII, as Windows reads them.
    EXPECT_EQ(Cp932ToUtf16("\\~"), u"\\~");
}

TEST(Cp932, SingleBytesGlibcRefusesAreKeptBothWays) {
    const std::string bytes("\x80\xA0\xFD\xFE\xFF", 5);
    const std::u16string wide = Cp932ToUtf16(bytes);
    EXPECT_EQ(wide, (std::u16string{0x0080, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3}));
    const auto back = Utf16ToCp932(wide);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, bytes);
    // Mixed with ordinary text, in the middle of a string.
    const std::string mixed = std::string("a\x80") + "\x82\xA0" + "\xFF" + "z";
    const auto mixedBack = Utf16ToCp932(Cp932ToUtf16(mixed));
    ASSERT_TRUE(mixedBack.has_value());
    EXPECT_EQ(*mixedBack, mixed);
}

TEST(Cp932, NecRowThirteenAndIbmRowsRoundTrip) {
    // Every assigned character of these rows survives CP932 → UTF-16 → CP932 → UTF-16.
    int assigned = 0;
    for (int lead : {0x87, 0xED, 0xEE, 0xFA, 0xFB, 0xFC}) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrail(trail)) continue;
            const std::u16string wide = Cp932ToUtf16(Pair(lead, trail));
            ASSERT_EQ(wide.size(), 1u) << std::hex << lead << trail;
            if (wide[0] == 0xFFFD) continue;
            ++assigned;
            const auto back = Utf16ToCp932(wide);
            ASSERT_TRUE(back.has_value()) << std::hex << lead << trail;
            EXPECT_EQ(Cp932ToUtf16(*back), wide) << std::hex << lead << trail;
        }
    }
    EXPECT_GT(assigned, 700);
    // The bytes themselves come back for the rows' own characters.
    for (const std::string& bytes : {Pair(0x87, 0x40), Pair(0x87, 0x53), Pair(0x87, 0x54),
                                     Pair(0x87, 0x5D), Pair(0x87, 0x8F), Pair(0xFA, 0x40),
                                     Pair(0xFA, 0x49), Pair(0xFA, 0x5C), Pair(0xFC, 0x4B)}) {
        const auto back = Utf16ToCp932(Cp932ToUtf16(bytes));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, bytes);
    }
    EXPECT_EQ(Cp932ToUtf8(Pair(0x87, 0x40)), "①");
    EXPECT_EQ(Cp932ToUtf8(Pair(0xFA, 0x40)), "ⅰ");
    // The NEC-selected copy of an IBM kanji is written back in the IBM row.
    EXPECT_EQ(Utf16ToCp932(Cp932ToUtf16(Pair(0xED, 0x40))), Pair(0xFA, 0x5C));
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
    // An unassigned pair is one replacement; a lead byte with a bad trail or at the end
    // is one replacement and the next byte is read on its own.
    EXPECT_EQ(Cp932ToUtf16(Pair(0x85, 0x40)), u"\uFFFD");
    EXPECT_EQ(Cp932ToUtf16(std::string("a\x81", 2)), u"a\uFFFD");
    EXPECT_EQ(Cp932ToUtf16(std::string("\x81\x20z", 3)), u"\uFFFD z");
    EXPECT_EQ(Cp932ToUtf16(std::string("x\x85\x40y", 4)), u"x\uFFFDy");
    EXPECT_EQ(Cp932ToUtf16(""), u"");
    // Every single byte and every pair converts without crashing to something.
    for (int b = 0; b < 256; ++b) {
        EXPECT_FALSE(Cp932ToUtf16(std::string(1, static_cast<char>(b))).empty());
        for (int t = 0; t < 256; t += 17) EXPECT_FALSE(Cp932ToUtf16(Pair(b, t)).empty());
    }
}

TEST(Cp932, UnrepresentableOrInvalidInputGivesNullopt) {
    EXPECT_FALSE(Utf8ToCp932("é").has_value());
    EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80").has_value());  // an emoji
    EXPECT_FALSE(Utf8ToCp932("\xC3").has_value());              // cut short
    EXPECT_FALSE(Utf8ToCp932("\xC0\xAF").has_value());          // overlong
    EXPECT_FALSE(Utf8ToCp932("\xED\xA0\x80").has_value());      // a surrogate
    EXPECT_FALSE(Utf16ToCp932(u"a\xD800").has_value());         // unpaired surrogate
    EXPECT_EQ(Utf8ToCp932(""), std::string());
}

TEST(Cp932, Utf8AndUtf16ConvertWithReplacements) {
    EXPECT_EQ(Utf16ToUtf8(u"a\U0001F600b"), "a\xF0\x9F\x98\x80" "b");
    EXPECT_EQ(Utf8ToUtf16("a\xF0\x9F\x98\x80" "b"), u"a\U0001F600b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xDC00)}), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("a\xFFz"), u"a\uFFFDz");
}

TEST(Cp932, UpperCasingLeavesTrailBytesAlone) {
    EXPECT_EQ(Cp932UpperAscii("sys.png"), "SYS.PNG");
    // ヂ is 0x83 0x61: its trail byte is an 'a' but must stay, or it would become ア.
    const std::string dzi = "\x83\x61";
    EXPECT_EQ(Cp932UpperAscii(dzi + "b.png"), dzi + "B.PNG");
    EXPECT_NE(Cp932UpperAscii(dzi), "\x83\x41");
    // Full-width letters (two-byte) are not changed, half-width kana are single bytes.
    EXPECT_EQ(Cp932UpperAscii("\x82\x81x\xB1"), "\x82\x81X\xB1");
    // A lead byte at the very end is copied as it is.
    EXPECT_EQ(Cp932UpperAscii("a\x83"), "A\x83");
}

TEST(Cp932, TrimStripsBlanksAndControlsAtBothEndsOnly) {
    EXPECT_EQ(TrimBlanksAndControls(" \t\r\n a b \x01\x1F "), "a b");
    EXPECT_EQ(TrimBlanksAndControls(std::string("\0x\0", 3)), "x");
    EXPECT_EQ(TrimBlanksAndControls("   "), "");
    EXPECT_EQ(TrimBlanksAndControls("\x81\x40"), "\x81\x40");  // a full-width space stays
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

TEST(Cp932Field, KeepsWholeCharactersAndStopsAtZero) {
    const std::string text = "ab\x82\xa0\x82\xa2";  // "ab" then two two-byte characters
    EXPECT_EQ(Cp932FieldPrefix(text, 8), text);
    EXPECT_EQ(Cp932FieldPrefix(text, 6), "ab\x82\xa0");  // the second character would not fit
    EXPECT_EQ(Cp932FieldPrefix(text, 5), "ab\x82\xa0");
    EXPECT_EQ(Cp932FieldPrefix(text, 4), "ab");
    EXPECT_EQ(Cp932FieldPrefix(std::string("ab\0cd", 5), 10), "ab");
    EXPECT_EQ(Cp932FieldPrefix("abc", 1), "");
    EXPECT_EQ(Cp932FieldPrefix("\x82", 4), "\x82");  // a lone lead byte at the end counts as one

    char field[6];
    std::memset(field, 'x', sizeof field);
    CopyToCp932Field(field, sizeof field, text);
    EXPECT_EQ(std::string(field, sizeof field), std::string("ab\x82\xa0\0\0", 6));
}

}  // namespace
}  // namespace orva
