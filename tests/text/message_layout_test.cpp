// Line breaking of messages, choice splitting and the choice bars' grid.
#include <gtest/gtest.h>

#include "text/message_layout.h"

namespace orva {
namespace {

// Returned const, so that u"「" + Repeat(...) builds a new string rather than inserting at the
// front of the temporary, which GCC 12 at -O3 misreads as an overlapping copy (-Wrestrict).
const std::u16string Repeat(std::u16string_view s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(MessageLayout, NameBeforeTheQuoteAndIndentedContinuation) {
    MessageLineSet l = LayoutMessage(u"①美咲「おはよう。」");
    EXPECT_EQ(l[0], u"美咲");
    EXPECT_EQ(l[1], u"「おはよう。」");
    EXPECT_EQ(l[2], u"");

    // An empty name still makes the text spoken: continuation lines start with "　".
    const std::u16string body = Repeat(u"あ", 60);
    l = LayoutMessage(u"「" + body);
    EXPECT_EQ(l[0], u"");
    EXPECT_EQ(l[1], u"「" + Repeat(u"あ", 24));
    EXPECT_EQ(l[2], u"　" + Repeat(u"あ", 24));
    EXPECT_EQ(l[3], u"　" + Repeat(u"あ", 12));

    // Narration is never indented, and a "「" in its middle takes what stands before as a name.
    l = LayoutMessage(u"風が吹いた。「誰？」");
    EXPECT_EQ(l[0], u"風が吹いた。");
    EXPECT_EQ(l[1], u"「誰？」");
}

TEST(MessageLayout, ForbiddenCharactersMoveAcrossTheBreak) {
    // A 25th character that may not end a line begins the next one.
    MessageLineSet l = LayoutMessage(Repeat(u"あ", 24) + u"（いう）");
    EXPECT_EQ(l[1], Repeat(u"あ", 24));
    EXPECT_EQ(l[2], u"（いう）");
    // In speech, the same for "「" as the 25th character of the first line.
    l = LayoutMessage(u"「" + Repeat(u"い", 23) + u"『本』");
    EXPECT_EQ(l[1], u"「" + Repeat(u"い", 23));
    EXPECT_EQ(l[2], u"　『本』");

    // One character that may not begin a line hangs at the end of a full one: only one.
    l = LayoutMessage(Repeat(u"あ", 25) + u"。」次");
    EXPECT_EQ(l[1], Repeat(u"あ", 25) + u"。");
    EXPECT_EQ(l[2], u"」次");
    l = LayoutMessage(Repeat(u"あ", 25) + u"ん");
    EXPECT_EQ(l[1], Repeat(u"あ", 25) + u"ん");
    EXPECT_EQ(l[2], u"");
}

TEST(MessageLayout, SlashForcesABreakWithoutHanging) {
    MessageLineSet l = LayoutMessage(u"一つ目/。二つ目");
    EXPECT_EQ(l[0], u"");
    EXPECT_EQ(l[1], u"一つ目");
    EXPECT_EQ(l[2], u"。二つ目");  // a forced break lets nothing hang

    // A slash right after a full line is its break, not an empty line.
    l = LayoutMessage(Repeat(u"あ", 25) + u"/い");
    EXPECT_EQ(l[1], Repeat(u"あ", 25));
    EXPECT_EQ(l[2], u"い");
    EXPECT_EQ(l[3], u"");
    // The same after the character that hangs at the end of a full line.
    l = LayoutMessage(Repeat(u"あ", 25) + u"。/x");
    EXPECT_EQ(l[1], Repeat(u"あ", 25) + u"。");
    EXPECT_EQ(l[2], u"x");
    EXPECT_EQ(l[3], u"");
    // A second slash is an empty line of its own.
    l = LayoutMessage(Repeat(u"あ", 25) + u"。//x");
    EXPECT_EQ(l[2], u"");
    EXPECT_EQ(l[3], u"x");
    // In speech the line after such a break is indented once.
    l = LayoutMessage(u"「" + Repeat(u"あ", 24) + u"。/x」");
    EXPECT_EQ(l[1], u"「" + Repeat(u"あ", 24) + u"。");
    EXPECT_EQ(l[2], u"　x」");

    // In speech the line after a slash is indented.
    l = LayoutMessage(u"母「ただいま/おかえり」");
    EXPECT_EQ(l[1], u"「ただいま");
    EXPECT_EQ(l[2], u"　おかえり」");
}

TEST(MessageLayout, KeepsThreeLinesAndCountsSixteenBitUnits) {
    MessageLineSet l = LayoutMessage(Repeat(u"字", 100));
    EXPECT_EQ(l[1].size(), 25u);
    EXPECT_EQ(l[2].size(), 25u);
    EXPECT_EQ(l[3].size(), 25u);

    l = LayoutMessage(Repeat(u"a", 30));  // half-width characters count one each too
    EXPECT_EQ(l[1].size(), 25u);
    EXPECT_EQ(l[2], u"aaaaa");

    l = LayoutMessage(u"");
    for (const auto& line : l) EXPECT_TRUE(line.empty());
    l = LayoutMessage(u"①①");
    for (const auto& line : l) EXPECT_TRUE(line.empty());
}

TEST(ChoiceSplit, CommasNineAnswersAndLongAnswers) {
    EXPECT_EQ(SplitChoices(u"行く,行かない"), (std::vector<std::u16string>{u"行く", u"行かない"}));
    EXPECT_EQ(SplitChoices(u"はい,"), (std::vector<std::u16string>{u"はい"}));  // no empty answer
    EXPECT_EQ(SplitChoices(u"はい,,いいえ"), (std::vector<std::u16string>{u"はい", u"", u"いいえ"}));
    EXPECT_TRUE(SplitChoices(u"").empty());

    const auto ten = SplitChoices(u"1,2,3,4,5,6,7,8,9,10");
    ASSERT_EQ(ten.size(), 9u);
    EXPECT_EQ(ten[8], u"9");

    const auto longOne = SplitChoices(Repeat(u"長", 40) + u",次");
    ASSERT_EQ(longOne.size(), 3u);
    EXPECT_EQ(longOne[0], Repeat(u"長", 31));
    EXPECT_EQ(longOne[1], Repeat(u"長", 9));
    EXPECT_EQ(longOne[2], u"次");
}

TEST(ChoiceGrid, BarsSitOnNineSlotsCentredOnTheFifth) {
    EXPECT_EQ(ChoiceBarTop(1, 1), 280);
    EXPECT_EQ(ChoiceBarTop(2, 1), 220);
    EXPECT_EQ(ChoiceBarTop(2, 2), 280);
    EXPECT_EQ(ChoiceBarTop(3, 3), 340);
    EXPECT_EQ(ChoiceBarTop(5, 1), 160);
    EXPECT_EQ(ChoiceBarTop(7, 1), 100);
    EXPECT_EQ(ChoiceBarTop(9, 1), 40);
    EXPECT_EQ(ChoiceBarTop(9, 9), 520);

    EXPECT_EQ(ChoiceAtRow(1, 280), 1);
    EXPECT_EQ(ChoiceAtRow(1, 319), 1);
    EXPECT_EQ(ChoiceAtRow(1, 320), 0);
    EXPECT_EQ(ChoiceAtRow(1, 220), 0);  // a slot outside the set
    EXPECT_EQ(ChoiceAtRow(2, 270), 0);  // between two bars
    EXPECT_EQ(ChoiceAtRow(2, 230), 1);
    EXPECT_EQ(ChoiceAtRow(9, 40), 1);
    EXPECT_EQ(ChoiceAtRow(9, 559), 9);
    EXPECT_EQ(ChoiceAtRow(9, 560), 0);
    EXPECT_EQ(ChoiceAtRow(9, 39), 0);
    EXPECT_EQ(ChoiceAtRow(9, -5), 0);
    EXPECT_EQ(ChoiceAtRow(9, 2000), 0);
    for (int n = 1; n <= 9; ++n)
        for (int i = 1; i <= n; ++i) EXPECT_EQ(ChoiceAtRow(n, ChoiceBarTop(n, i) + 20), i) << n << " " << i;
}

TEST(MessageLayout, CountsTheCharactersThatDoNotFitTheThreeLines) {
    size_t dropped = 99;
    LayoutMessage(std::u16string(75, u'あ'), dropped);
    EXPECT_EQ(dropped, 0u);  // exactly three full lines
    LayoutMessage(std::u16string(100, u'あ'), dropped);
    EXPECT_EQ(dropped, 25u);
    // A hanging "。" still fits; a spoken text counts without the indent of the line to come.
    LayoutMessage(std::u16string(75, u'あ') + u"。", dropped);
    EXPECT_EQ(dropped, 0u);
    LayoutMessage(u"名「" + std::u16string(80, u'い'), dropped);
    EXPECT_EQ(dropped, 80u + 1u - 25u - 24u - 24u);  // lines 2 and 3 lose one place to the indent
    LayoutMessage(u"一/二/三/四", dropped);
    EXPECT_EQ(dropped, 1u);
}

}  // namespace
}  // namespace orva
