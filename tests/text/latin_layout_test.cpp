// Line breaking of translated Latin text by proportional widths, and which layout a shown
// string gets.
#include "text/latin_layout.h"

#include <gtest/gtest.h>

#include "graphics/font_names.h"
#include "graphics/text_render.h"
#include "text/shown_text.h"

namespace orva {
namespace {

// A narrow font: every character 10 pixels wide, so a line holds 70.
int Tens(std::u16string_view t) { return 10 * static_cast<int>(t.size()); }

TEST(LatinLayout, BreaksAtSpacesAndHyphensWithinTheWidthInThreeLines) {
    const std::u16string text =
        u"The lighthouse on the cape had been dark for years, and nobody in the town remembered "
        u"who had last climbed its well-worn stairs to light the lamp at the top.";
    const ShownLayout l = LayoutLatinMessage(u"Mina", text, Tens);
    EXPECT_TRUE(l.Proportional);
    EXPECT_EQ(l.Lines[0], u"Mina");
    EXPECT_EQ(l.Lines[1], u"The lighthouse on the cape had been dark for years, and nobody in the");
    EXPECT_EQ(l.Lines[2], u"town remembered who had last climbed its well-worn stairs to light the");
    EXPECT_EQ(l.Lines[3], u"lamp at the top.");
    EXPECT_EQ(l.Dropped, 0u);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_LE(Tens(l.Lines[size_t(k)]), kLatinLineWidth);
        ASSERT_EQ(l.CharEnds[size_t(k)].size(), l.Lines[size_t(k)].size());
        EXPECT_EQ(l.CharEnds[size_t(k)].back(), Tens(l.Lines[size_t(k)]));
    }

    // After a hyphen when that is the last chance; a word longer than a line is cut.
    const ShownLayout h = LayoutLatinMessage({}, std::u16string(60, u'a') + u" bbbbbbb-cccccccc", Tens);
    EXPECT_EQ(h.Lines[1], std::u16string(60, u'a') + u" bbbbbbb-");
    EXPECT_EQ(h.Lines[2], u"cccccccc");
    const ShownLayout w = LayoutLatinMessage({}, std::u16string(150, u'x'), Tens);
    EXPECT_EQ(w.Lines[1].size(), 70u);
    EXPECT_EQ(w.Lines[2].size(), 70u);
    EXPECT_EQ(w.Lines[3].size(), 10u);

    // Three lines at most: the rest is counted as lost; "/" breaks and "①" is not shown.
    const ShownLayout o = LayoutLatinMessage({}, std::u16string(250, u'y'), Tens);
    EXPECT_EQ(o.Dropped, 250u - 210u);
    const ShownLayout s = LayoutLatinMessage({}, u"One line./Another①.", Tens);
    EXPECT_EQ(s.Lines[1], u"One line.");
    EXPECT_EQ(s.Lines[2], u"Another.");

    // Kanji left in a translation may break between them.
    const ShownLayout k = LayoutLatinMessage({}, std::u16string(65, u'z') + u" 岬灯台岬灯台岬灯台", Tens);
    EXPECT_EQ(k.Lines[1], std::u16string(65, u'z') + u" 岬灯台岬");
    EXPECT_EQ(k.Lines[2], u"灯台岬灯台");
}

TEST(LatinLayout, OnlyTranslatedLatinTextIsSetInProportionalType) {
    // The script's own text, even one without kana, keeps the Japanese layout exactly.
    EXPECT_FALSE(UsesProportionalLayout(u"......OK"));
    const ShownLayout original = LayoutShownMessage(u"ミナ「おはよう、世界」", Tens);
    EXPECT_FALSE(original.Proportional);
    EXPECT_EQ(original.Lines, LayoutMessage(u"ミナ「おはよう、世界」"));
    EXPECT_TRUE(original.CharEnds[1].empty());

    // A translation into Japanese (another wording) keeps the cells and the speaker's indent.
    const std::u16string japanese = MarkTranslated({true, true, u"ミナ", u"「" + std::u16string(30, u'あ') + u"」"});
    const ShownLayout j = LayoutShownMessage(japanese, Tens);
    EXPECT_FALSE(j.Proportional);
    EXPECT_EQ(j.Lines[0], u"ミナ");
    EXPECT_EQ(j.Lines[2].substr(0, 1), u"　");

    const std::u16string latin = MarkTranslated({true, true, u"Mina", u"“Morning!”"});
    EXPECT_TRUE(UsesProportionalLayout(latin));
    const ShownLayout l = LayoutShownMessage(latin, Tens);
    EXPECT_TRUE(l.Proportional);
    EXPECT_EQ(l.Lines[0], u"Mina");
    EXPECT_EQ(l.Lines[1], u"“Morning!”");
}

TEST(LatinLayout, ProportionalTypeIsNarrowerThanTheJapaneseCells) {
    TTextRenderer r;
    ASSERT_TRUE(r.SetFont(kFontPMincho, 28));
    EXPECT_EQ(r.FamilyName(), "IPAPMincho");
    const int narrow = r.TextWidth(u"illicit"), wide = r.TextWidth(u"MWMWMWM");
    EXPECT_LT(narrow, wide);
    EXPECT_LT(wide, 7 * 28);
    EXPECT_LT(r.TextWidth(u"The lighthouse"), 14 * 28 / 2 + 28);
    // Characters the font lacks (Hebrew here) come from another font that has them, not as the
    // font's one missing-glyph box.
    TABitmap alef(40, 40), bet(40, 40);
    alef.FillColor(0, 0, 0);
    bet.FillColor(0, 0, 0);
    r.TextOut(alef, 4, 4, u"\u05D0", 255, 255, 255);
    r.TextOut(bet, 4, 4, u"\u05D1", 255, 255, 255);
    bool differ = false, inked = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40 * 4; ++x) {
            differ = differ || alef.Row(y)[x] != bet.Row(y)[x];
            inked = inked || alef.Row(y)[x] != 0;
        }
    EXPECT_TRUE(inked);
    EXPECT_TRUE(differ);
    ASSERT_TRUE(r.SetFont(kFontPGothic, 28));
    EXPECT_EQ(r.FamilyName(), "IPAPGothic");
}

}  // namespace
}  // namespace orva
