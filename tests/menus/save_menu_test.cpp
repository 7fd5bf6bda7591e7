// The save and load menu, restore and the save files on the headless engine: a game saved in
// the middle of a message comes back to the same message, layers and music; pages, the newest
// mark, the quick-save slot, empty slots in load mode, comments, thumbnails, and the files'
// safety when a write fails or the program dies during one.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <limits>

#include "data/cp932.h"
#include "graphics/bmp_file.h"
#include "graphics/reference.h"
#include "menus/save_slots.h"
#include "text/window_buttons.h"
#include "menu_game.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::MenuGame;
using test::SlotPoint;

constexpr const char* kStory = R"(.script 1 "main"
system 3 1
bg "BG01"
char1 2 "CH01" show
trans
bgm "M05"
msg "一つ目の言葉。"
msg "二つ目の言葉。"
msg "三つ目の言葉。"
)";

constexpr size_t SlotOffset(int n) { return offsetof(SystemBlock, SaveSlots) + size_t(n - 1) * sizeof(GameRec); }

const uint8_t* Px(const TABitmap& b, int x, int y) { return b.Row(y) + size_t(x) * 4; }

bool SameBytes(const TABitmap& a, const TABitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.Pixels(), b.Pixels(), size_t(a.Width()) * size_t(a.Height()) * 4) == 0;
}

void UseSlot(TForm1& f, int n, double time, const char* comment = "") {
    GameRec& s = f.Sys->SaveSlots[n - 1];
    s.InUse = 1;
    s.SaveTime = time;
    s.ScriptNo = 1;
    s.ScriptStep = 3;
    std::strncpy(s.Comment, comment, sizeof s.Comment - 1);
}

TEST(SaveMenu, AGameSavedInTheMiddleOfAMessageComesBackToThatMessageWithItsLayersAndMusic) {
    MenuGame g(kStory);
    TForm1& f = g.BootTraced();
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    g.Click({400, 300}, 3);                       // on to the second message
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    const int32_t savedMsg = f.Text.MsgNo;
    const int32_t savedStep = f.Game.ScriptStep;
    TABitmap savedScene;
    savedScene.Assign(f.Pics->ScenePicture);

    f.OpenSaveMenu(true);                         // as the window's save button does
    g.Passes(1);
    ASSERT_EQ(f.EngineMode, Mode::SaveMenuWait);
    EXPECT_EQ(f.Menus.SaveMenuPage, 1);
    g.Click(SlotPoint(3));                        // select, then confirm
    EXPECT_EQ(f.Menus.SaveMenuSelected, 3);
    g.Click(SlotPoint(3));
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuEnter);            // reopens on the same page with the entry
    g.Passes(1);
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuWait);

    const GameRec& slot = f.Sys->SaveSlots[2];
    EXPECT_EQ(slot.InUse, 1);
    EXPECT_EQ(slot.ScriptStep, savedStep);
    EXPECT_GT(slot.SaveTime, 40000.0);
    const std::vector<uint8_t> file = g.SaveFileBytes();
    ASSERT_EQ(file.size(), kSystemBlockSize);
    EXPECT_EQ(0, std::memcmp(file.data() + SlotOffset(3), &slot, sizeof slot));  // written at once

    // The thumbnail is the scene without the window, reduced onto black.
    TABitmap thumb(96, 72);
    thumb.FillColor(0, 0, 0);
    ref::Stretch(96, 72, savedScene, 0, 0, kScreenWidth, kScreenHeight, 0, 0, thumb);
    EXPECT_EQ(ReadWholeFile(g.SaveDir / "THUMB" / "SAVE3.dat").value_or(std::vector<uint8_t>{}), EncodeBmp32(thumb));
    // and the reopened menu shows it in the slot, opaque.
    const TABitmap& menu = f.Pics->MenuPicture;
    const Point at = {40 + 4, 80 + 88 + 4};
    for (Point p : {Point{40, 30}, Point{60, 50}, Point{95, 71}})
        for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(Px(menu, at.X + p.X, at.Y + p.Y)[ch], Px(thumb, p.X, p.Y)[ch]);
    EXPECT_GT(Px(menu, at.X + 5, at.Y + 5)[2], 240);   // the newest save's mark over it

    test::CaptureMain(*g.Plat, "save-menu-saved");
    g.Click(test::kBackButton);                   // back to the waiting message
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    g.Click({400, 300}, 3);
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    EXPECT_NE(f.Text.MsgNo, savedMsg);
    f.NOVL_PlayBGM2011("M01", 0, false, 1);

    f.OpenSaveMenu(false);
    g.Passes(1);
    g.Click(SlotPoint(3));
    g.Click(SlotPoint(3));                        // load: restore runs on the next pass
    EXPECT_EQ(f.Game.ScriptStep, savedStep - 1);
    ASSERT_TRUE(g.RunUntilMode(Mode::FadeToPrevMode, 3));
    EXPECT_EQ(f.PrevMode, Mode::Script);
    EXPECT_FALSE(f.Text.MsgOnScreen);
    EXPECT_STREQ(f.Game.MusicName, "M05");
    TOggData& m05 = *f.MusicSource[size_t(f.MusicSlot)];
    TOggData& m01 = *f.MusicSource[size_t(1 - f.MusicSlot)];
    EXPECT_EQ(m05.FadeTarget(), kFadeOne);
    EXPECT_EQ(m05.FadeStepValue(), kFadeOne / (3 * 44100));   // over 3 seconds
    EXPECT_EQ(m01.FadeTarget(), 0);
    EXPECT_EQ(m01.FadeStepValue(), -kFadeOne / (3 * 44100));

    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));          // the same message prints anew
    EXPECT_EQ(f.Text.MsgNo, savedMsg);
    EXPECT_EQ(f.Game.ScriptStep, savedStep);
    EXPECT_STREQ(f.Game.LayerName[0], "CH01");
    EXPECT_TRUE(SameBytes(f.Pics->ScenePicture, savedScene));

    EXPECT_EQ(g.TraceEvents("save"), std::vector<std::string>{"\"ev\":\"save\",\"slot\":3}"});
    EXPECT_EQ(g.TraceEvents("load"), std::vector<std::string>{"\"ev\":\"load\",\"slot\":3}"});
}

TEST(SaveMenu, OpensOnTheNewestSavesPageWithItsMarkAndTheModesTitle) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    UseSlot(f, 5, 46000.5);
    UseSlot(f, 37, 46001.0);
    UseSlot(f, 90, 46001.0);                      // as new as 37, but 37 is lower
    f.OpenSaveMenu(true);
    g.Passes(1);
    EXPECT_EQ(f.Menus.SaveMenuPage, 4);
    const TABitmap& menu = f.Pics->MenuPicture;
    EXPECT_GT(Px(menu, 44 + 10, 348 + 8)[2], 240);   // 37: position 7, the mark
    EXPECT_LT(Px(menu, 412 + 10, 348 + 8)[2], 100);  // 38: none
    EXPECT_EQ(Px(menu, 40, 10)[2], test::kSaveTitleRed);

    g.Click(test::TabPoint(9));                   // another page: no jump back to the newest
    g.Passes(1);
    EXPECT_EQ(f.Menus.SaveMenuPage, 9);
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuWait);
    EXPECT_LT(Px(f.Pics->MenuPicture, 412 + 10, 80 + 8)[2], 100);   // 90 has no mark

    f.EngineMode = Mode::Script;
    f.OpenSaveMenu(false);
    g.Passes(1);
    EXPECT_EQ(f.Menus.SaveMenuPage, 4);
    EXPECT_EQ(Px(f.Pics->MenuPicture, 40, 10)[2], test::kLoadTitleRed);
    g.Click(test::kBackButton);
    EXPECT_EQ(f.EngineMode, Mode::Script);
}

TEST(SaveMenu, SavingIntoSlot100OverwritesTheQuickSaveAndClearsTheComment) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    UseSlot(f, 100, 46000.0, "old quick save");
    f.Sys->SaveSlots[99].ScriptNo = 7;
    std::strcpy(f.Game.Comment, "carried");
    f.OpenSaveMenu(true);
    g.Passes(1);
    EXPECT_EQ(f.Menus.SaveMenuPage, 10);
    g.Click(SlotPoint(10));
    g.Click(SlotPoint(10));
    const GameRec& quick = f.Sys->SaveSlots[99];
    EXPECT_EQ(quick.ScriptNo, 1);
    // Stamped by the platform's clock: on the headless platform it follows the virtual one, so
    // identical runs write identical saves.
    EXPECT_EQ(quick.SaveTime, DateTimeOf(HeadlessPlatform::kVirtualEpoch + f.Plat.Ticks() / 1000));
    EXPECT_EQ(quick.Comment[0], '\0');
    EXPECT_EQ(f.Game.Comment[0], '\0');
    EXPECT_EQ(0, std::memcmp(g.SaveFileBytes().data() + SlotOffset(100), &quick, sizeof quick));
    EXPECT_TRUE(std::filesystem::exists(g.SaveDir / "THUMB" / "SAVE100.dat"));
}

TEST(SaveMenu, LoadModeSelectsOnlyUsedSlotsSoAnEmptyOneCannotBeLoaded) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    UseSlot(f, 1, 46000.0);
    f.OpenSaveMenu(false);
    g.Passes(1);
    g.Click(SlotPoint(2));
    EXPECT_EQ(f.Menus.SaveMenuSelected, 0);
    g.Click(SlotPoint(2));
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuWait);
    EXPECT_FALSE(f.LoadFromSlot(2));
    EXPECT_FALSE(f.LoadFromSlot(0));
    EXPECT_FALSE(f.LoadFromSlot(101));
    g.Click(SlotPoint(1));
    EXPECT_EQ(f.Menus.SaveMenuSelected, 1);
    g.Click({500, 30});                           // nothing there: the selection stays
    EXPECT_EQ(f.Menus.SaveMenuSelected, 1);
}

TEST(SaveMenu, ATypedCommentIsInTheSlotAtOnceAndInTheFileOnlyWithTheNextWrite) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    UseSlot(f, 4, 46000.0, "before");
    f.NOVL_CreateSaveFile();
    f.OpenSaveMenu(true);
    g.Passes(1);
    g.Click(test::kCommentButton);                // nothing selected: no field
    EXPECT_FALSE(f.CommentEdit.Visible);
    g.Click(SlotPoint(3));                        // an empty slot: no field either
    g.Click(test::kCommentButton);
    EXPECT_FALSE(f.CommentEdit.Visible);
    g.Click(SlotPoint(4));
    g.Click(test::kCommentButton);
    ASSERT_TRUE(f.CommentEdit.Visible);
    EXPECT_TRUE(g.Plat->TextInputOn());
    EXPECT_EQ(f.CommentEdit.Text, "before");
    EXPECT_EQ(f.CommentEdit.Pos, (Point{408 + 116, 168 + 34}));
    g.Passes(4);
    const uint8_t* white = Px(g.Plat->LastPresented(WindowId::Main), 408 + 116 + 200, 168 + 34 + 10);
    EXPECT_GE(white[0], 250);                     // the white field over the slot
    EXPECT_GE(white[2], 250);

    g.Type("\b\b\b\b\b\b旅の途中で出会った人々の思い出と約束");   // 17 characters, 34 bytes
    EXPECT_EQ(Cp932ToUtf8(f.CommentEdit.Text), "旅の途中で出会った人々の思い出");  // 15 of them, 30 bytes
    g.Passes(4);
    test::CaptureMain(*g.Plat, "save-menu-comment");
    g.Plat->Inject({.Verb = TimelineVerb::Key, .KeyName = Key::Return, .Pressed = true});
    g.Passes(1);
    g.Plat->Inject({.Verb = TimelineVerb::Key, .KeyName = Key::Return, .Pressed = false});
    g.Passes(1);
    EXPECT_FALSE(f.CommentEdit.Visible);
    EXPECT_FALSE(g.Plat->TextInputOn());
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuWait);
    EXPECT_EQ(Cp932ToUtf8(f.Sys->SaveSlots[3].Comment), "旅の途中で出会った人々の思い出");
    EXPECT_STREQ(reinterpret_cast<const char*>(g.SaveFileBytes().data() + SlotOffset(4) + 1564), "before");

    f.FormClose();                                // closing writes it
    EXPECT_EQ(Cp932ToUtf8(reinterpret_cast<const char*>(g.SaveFileBytes().data() + SlotOffset(4) + 1564)),
              "旅の途中で出会った人々の思い出");
}

TEST(SaveMenu, ACommentConfirmedAfterTurningThePageTouchesNoSlot) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    UseSlot(f, 1, 46000.0, "one");
    f.OpenSaveMenu(true);
    g.Passes(1);
    g.Click(SlotPoint(1));
    g.Click(test::kCommentButton);
    ASSERT_TRUE(f.CommentEdit.Visible);
    g.Click(test::TabPoint(2));                   // the field stays, the selection goes
    g.Passes(1);
    EXPECT_EQ(f.Menus.SaveMenuSelected, 0);
    std::vector<GameRec> before(std::begin(f.Sys->SaveSlots), std::end(f.Sys->SaveSlots));
    g.Type("two\r");
    EXPECT_FALSE(f.CommentEdit.Visible);
    EXPECT_EQ(0, std::memcmp(before.data(), f.Sys->SaveSlots, sizeof f.Sys->SaveSlots));
}

TEST(SaveMenu, ACrashDuringASaveLeavesThePreviousSaveFileWhole) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    ASSERT_TRUE(f.SaveToSlot(1));
    const std::vector<uint8_t> before = g.SaveFileBytes();
    ASSERT_EQ(before.size(), kSystemBlockSize);

    EXPECT_EXIT(
        {
            SetAtomicWriteHook([](const std::filesystem::path& target) {
                if (target.filename() == "SAVE.DAT") std::abort();
            });
            f.SaveToSlot(2);
        },
        testing::KilledBySignal(SIGABRT), "");
    EXPECT_EQ(g.SaveFileBytes(), before);
    EXPECT_FALSE(std::filesystem::exists(g.SaveDir / "THUMB" / "SAVE2.dat"));
}

TEST(SaveMenu, AFullDiskDuringAQuickSaveKeepsTheOldFilesAndTheNoticeSaysItFailed) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    ASSERT_TRUE(f.SaveToSlot(1));
    const std::vector<uint8_t> before = g.SaveFileBytes();

    // The process may write no file beyond 64 KB: the 424,800-byte save file runs out of room
    // part-way, exactly as on a full disk (the write fails with EFBIG instead of ENOSPC).
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    f.WindowButtonAction(kBtnQuickSave);
    const std::string err = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_EQ(f.Timing.StatusText, u"クイックセーブできませんでした");
    EXPECT_NE(err.find("SAVE.DAT"), std::string::npos) << err;
    EXPECT_EQ(g.SaveFileBytes(), before);          // the previous file, whole
    for (const auto& entry : std::filesystem::recursive_directory_iterator(g.SaveDir))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    EXPECT_EQ(f.Sys->SaveSlots[99].InUse, 1);      // kept in memory for the next write
    g.Passes(5);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);               // the game goes on
    ASSERT_TRUE(f.SaveToSlot(2));                  // and saves again once there is room
    EXPECT_EQ(g.SaveFileBytes()[SlotOffset(100)], 1);
}

TEST(SaveMenu, ASlotFullOfDamagedValuesIsListedLoadedAndPlayedOnWithoutHarm) {
    // What a damaged or hand-edited SAVE.DAT of the right size can hold: no time, a line far past
    // the script, a call table overflowing, names and the comment without their ends, layers
    // far off screen with impossible opacities.
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    GameRec& s = f.Sys->SaveSlots[6];
    std::memset(&s, 0x7F, sizeof s);
    s.InUse = 1;
    s.SaveTime = std::numeric_limits<double>::quiet_NaN();
    s.ScriptNo = 1;
    s.ScriptStep = 1000000;
    s.ReturnCount = 30000;
    std::memset(s.BgLayerName, 'X', sizeof s.BgLayerName);
    std::memset(s.LayerName, 'Y', sizeof s.LayerName);
    std::memset(s.MusicName, 'Z', sizeof s.MusicName);
    std::memset(s.Comment, 0x82, sizeof s.Comment);  // lead bytes to the end, no trail, no end
    s.LayerPos[0][0] = INT32_MIN, s.LayerPos[1][1] = INT32_MAX;
    s.LayerAlpha[0] = -5, s.LayerAlpha[1] = 999;

    f.OpenSaveMenu(false);
    g.Passes(2);
    ASSERT_EQ(f.EngineMode, Mode::SaveMenuWait);            // the page with the slot is drawn
    g.Click(SlotPoint(7));
    g.Click(SlotPoint(7));                        // and the slot is loaded
    g.Passes(400);
    // The line past the script reads as its end line, which ends the story: it starts over
    // and waits at its first message again.
    EXPECT_EQ(f.Game.ScriptNo, 1);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_LT(f.Game.ScriptStep, 10);
    EXPECT_TRUE(f.Plat.IsWindowVisible(WindowId::Main));
}

TEST(SaveMenu, AnUnwritableFolderKeepsTheSaveInMemoryWithOneLineAndTheGameGoesOn) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    // A thumbnail that cannot be written: the save file still is.
    std::filesystem::create_directories(g.SaveDir / "THUMB" / "SAVE5.dat");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(f.SaveToSlot(5));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("thumbnail of slot 5"), std::string::npos);
    EXPECT_EQ(g.SaveFileBytes()[SlotOffset(5)], 1);

    // A save file that cannot be replaced: the slot is kept in memory only.
    const std::vector<uint8_t> before = g.SaveFileBytes();
    std::filesystem::remove(g.SaveDir / "SAVE.DAT");
    std::filesystem::create_directories(g.SaveDir / "SAVE.DAT" / "in-the-way");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(f.SaveToSlot(6));
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(f.Sys->SaveSlots[5].InUse, 1);
    g.Passes(5);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);              // the game goes on
}

TEST(Restore, AnEmptyBackgroundNameGivesBlackAndTheSavedMusicCrossFadesOverThreeSeconds) {
    MenuGame g(kStory);
    TForm1& f = g.Boot();
    f.NOVL_PlayBGM2011("M01", 0, false, 1);
    f.Pics->LayerPicture[0].FillColor(255, 255, 255);
    UseSlot(f, 6, 46000.0);
    GameRec& s = f.Sys->SaveSlots[5];
    std::strcpy(s.MusicName, "M05");
    s.MusicLoop = 1;
    s.ScriptStep = 5;
    f.DebugMemo.clear();
    ASSERT_TRUE(f.LoadFromSlot(6));
    EXPECT_EQ(f.Game.ScriptStep, 4);
    g.Passes(1);
    EXPECT_EQ(f.EngineMode, Mode::FadeToPrevMode);
    EXPECT_EQ(f.Game.ScriptStep, 4);
    EXPECT_STREQ(f.Game.MusicName, "M05");
    EXPECT_EQ(f.MusicSource[size_t(f.MusicSlot)]->FadeStepValue(), kFadeOne / (3 * 44100));
    EXPECT_EQ(f.MusicSource[size_t(1 - f.MusicSlot)]->FadeTarget(), 0);
    const TABitmap& bg = f.Pics->LayerPicture[0];
    bool black = true;
    for (int i = 0; i < kScreenWidth * kScreenHeight; ++i) black = black && (bg.Pixels()[i] & 0xFFFFFFu) == 0;
    EXPECT_TRUE(black);
    for (const std::string& line : f.DebugMemo) EXPECT_NE(line, "read error : .png");
}

}  // namespace
}  // namespace orva
