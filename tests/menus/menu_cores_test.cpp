// The save menu's rules that stand alone: the newest save, labels and times, hit areas, the
// comment field's byte limit and the thumbnail file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "data/cp932.h"
#include "graphics/bmp_file.h"
#include "graphics/reference.h"
#include "menus/comment_edit.h"
#include "menus/menu_layout.h"
#include "menus/save_slots.h"
#include "menus/thumbnail.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

TEST(SaveSlots, NewestIsTheLatestUsedSlotAndTheLowerNumberOnEqualTimes) {
    std::vector<GameRec> slots(kSaveSlots, GameRec{});
    EXPECT_EQ(NewestSave(slots), 0);
    slots[36].InUse = 1, slots[36].SaveTime = 46000.5;
    slots[4].InUse = 1, slots[4].SaveTime = 46000.25;
    slots[80].InUse = 0, slots[80].SaveTime = 47000.0;   // an empty slot's time does not count
    EXPECT_EQ(NewestSave(slots), 37);
    slots[99].InUse = 1, slots[99].SaveTime = 46000.5;   // equal time: 37 stays
    slots[50].InUse = 1, slots[50].SaveTime = 46000.5;   // equal time, but 37 is lower still
    EXPECT_EQ(NewestSave(slots), 37);
    slots[1].InUse = 1, slots[1].SaveTime = 46000.5;
    EXPECT_EQ(NewestSave(slots), 2);
}

TEST(SaveSlots, LabelsAndSaveTimes) {
    EXPECT_EQ(SlotLabel(1), "No.01");
    EXPECT_EQ(SlotLabel(9), "No.09");
    EXPECT_EQ(SlotLabel(10), "No.10");
    EXPECT_EQ(SlotLabel(99), "No.99");
    EXPECT_EQ(SlotLabel(100), "Quick Save");

    // Day counts from 1899-12-30: 1900-01-01 is day 2; a quarter day is 6 o'clock.
    std::tm t{};
    t.tm_year = 0, t.tm_mon = 0, t.tm_mday = 1, t.tm_hour = 6;
    EXPECT_DOUBLE_EQ(DateTimeFromTm(t), 2.25);
    t = {};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 9, t.tm_hour = 1, t.tm_min = 40, t.tm_sec = 45;
    const double when = DateTimeFromTm(t);
    EXPECT_DOUBLE_EQ(std::floor(when), 46365.0);
    const std::tm back = TmFromDateTime(when);
    EXPECT_EQ(back.tm_year, 126);
    EXPECT_EQ(back.tm_mon, 11);
    EXPECT_EQ(back.tm_mday, 9);
    EXPECT_EQ(back.tm_hour, 1);
    EXPECT_EQ(back.tm_min, 40);
    EXPECT_EQ(back.tm_sec, 45);
    // A hair below the next second still shows that second.
    EXPECT_EQ(TmFromDateTime(when + 0.9999 / 86400).tm_sec, 46);

    EXPECT_EQ(FormatSaveTime(when, "ja_JP.UTF-8"), "2026/12/09 1:40:45");
    EXPECT_EQ(FormatSaveTime(when, "C"), "12/09/26 01:40:45");
    // A damaged slot's time shows the first day, not garbage.
    EXPECT_EQ(FormatSaveTime(std::nan(""), "ja"), "1899/12/30 0:00:00");
}

TEST(MenuLayout, SaveMenuHitAreasAreHalfOpen) {
    EXPECT_EQ(SaveMenuHitTest({40, 80}), 1);
    EXPECT_EQ(SaveMenuHitTest({391, 159}), 1);
    EXPECT_EQ(SaveMenuHitTest({392, 100}), 0);   // between the columns
    EXPECT_EQ(SaveMenuHitTest({408, 80}), 2);
    EXPECT_EQ(SaveMenuHitTest({100, 160}), 0);   // between the rows
    EXPECT_EQ(SaveMenuHitTest({759, 511}), 10);
    EXPECT_EQ(SaveMenuHitTest({32, 544}), 21);
    EXPECT_EQ(SaveMenuHitTest({431, 575}), 30);
    EXPECT_EQ(SaveMenuHitTest({432, 560}), 0);
    EXPECT_EQ(SaveMenuHitTest({568, 544}), 91);
    EXPECT_EQ(SaveMenuHitTest({663, 575}), 91);
    EXPECT_EQ(SaveMenuHitTest({672, 544}), 99);
    EXPECT_EQ(SaveMenuHitTest({767, 576}), 0);
    EXPECT_EQ(SaveSlotPlace(7).X, 40);
    EXPECT_EQ(SaveSlotPlace(7).Y, 344);
}

TEST(MenuLayout, TitleButtonsEndBeforeTheirRightAndBottomEdges) {
    EXPECT_EQ(TitleMenuHitTest({752, 200}), 0);
    EXPECT_EQ(TitleMenuHitTest({751, 200}), 1);
    EXPECT_EQ(TitleMenuHitTest({527, 200}), 0);
    EXPECT_EQ(TitleMenuHitTest({600, 235}), 0);   // between new game and load
    EXPECT_EQ(TitleMenuHitTest({600, 231}), 1);
    EXPECT_EQ(TitleMenuHitTest({600, 248}), 2);
    EXPECT_EQ(TitleMenuHitTest({528, 304}), 3);
    EXPECT_EQ(TitleMenuHitTest({700, 399}), 4);
    EXPECT_EQ(TitleMenuHitTest({700, 400}), 0);
}

TEST(CommentEdit, ThirtyBytesCountingTwoBytesPerKanaAndBackspaceTakesWholeCharacters) {
    TCommentEdit e;
    EXPECT_TRUE(e.Type("あいうえおかきくけこさしすせ"));   // 14 kana, 28 bytes
    EXPECT_EQ(e.Text.size(), 28u);
    EXPECT_TRUE(e.Type("a"));                               // 29
    EXPECT_FALSE(e.Type("そ"));                             // two bytes do not fit in one
    EXPECT_EQ(e.Text.size(), 29u);
    EXPECT_TRUE(e.Type("b"));                               // 30: full
    EXPECT_FALSE(e.Type("c"));
    EXPECT_EQ(Cp932ToUtf8(e.Text), "あいうえおかきくけこさしすせab");

    e.Type("\b\b\b");                                       // b, a, then せ whole
    EXPECT_EQ(Cp932ToUtf8(e.Text), "あいうえおかきくけこさしす");
    // ソ and 表 end in 0x5C, a byte that reads as a backslash on its own.
    e.Clear();
    e.Type("ソ表x");
    e.Backspace();
    e.Backspace();
    EXPECT_EQ(Cp932ToUtf8(e.Text), "ソ");
    e.Backspace();
    e.Backspace();                                          // on an empty field: nothing
    EXPECT_TRUE(e.Text.empty());

    // A character with no CP932 form is refused with what follows; control characters vanish.
    EXPECT_FALSE(e.Type("a\xF0\x9F\x98\x80" "b"));
    EXPECT_EQ(e.Text, "a");
    e.Type("\t\x01z");
    EXPECT_EQ(e.Text, "az");

    // A stored comment longer than the field is cut on a character boundary.
    e.SetText(Utf8ToCp932("あいうえおかきくけこさしすせそた").value());   // 32 bytes
    EXPECT_EQ(Cp932ToUtf8(e.Text), "あいうえおかきくけこさしすせそ");
    std::string field(33, '\0');
    field.replace(0, 3, "abc");
    e.SetText(field);
    EXPECT_EQ(e.Text, "abc");
}

TEST(Thumbnail, IsTheBilinearReductionOnBlackAndReadsBackOpaqueOrNotAtAll) {
    TABitmap scene(kScreenWidth, kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) scene.Pixels()[y * kScreenWidth + x] = 0x40000000u | uint32_t(x % 256) | uint32_t(y % 256) << 8;
    const TABitmap thumb = MakeThumbnail(scene);
    TABitmap expected(96, 72);
    expected.FillColor(0, 0, 0);
    ref::Stretch(96, 72, scene, 0, 0, kScreenWidth, kScreenHeight, 0, 0, expected);
    ASSERT_EQ(thumb.Width(), 96);
    EXPECT_EQ(0, std::memcmp(thumb.Pixels(), expected.Pixels(), 96 * 72 * 4));

    const std::vector<uint8_t> file = EncodeThumbnail(thumb);
    EXPECT_EQ(file.size(), 54u + 96 * 72 * 4);
    TABitmap read;
    ASSERT_TRUE(DecodeThumbnail(file, read));
    EXPECT_EQ(read.Pixels()[5] >> 24, 0u);                          // opaque
    EXPECT_EQ(read.Pixels()[5], thumb.Pixels()[5] & 0xFFFFFFu);

    TABitmap wrong(80, 60);
    wrong.FillColor(1, 2, 3);
    TABitmap kept(1, 1);
    EXPECT_FALSE(DecodeThumbnail(EncodeBmp32(wrong), kept));       // another size
    std::vector<uint8_t> cut(file.begin(), file.begin() + 1000);
    EXPECT_FALSE(DecodeThumbnail(cut, kept));                      // damaged
    EXPECT_EQ(kept.Width(), 1);
}

}  // namespace
}  // namespace orva
