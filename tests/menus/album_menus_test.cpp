// The album menus on the headless platform: the album menu's buttons, the gallery's covers,
// hover and picture steps, the scene replay queue and a replay played to its end, and the
// music room's track controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "fixtures/script_game.h"
#include "graphics/png_write.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::ScriptGame;

// Every button sheet: each pixel tells where it lies in the sheet (red x / 8, green y / 4,
// blue 200), opaque, so a screen pixel shows which part of the sheet was drawn there.
TABitmap Sheet() {
    TABitmap b(1536, kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < 1536; ++x)
            b.Pixels()[y * 1536 + x] = 200u | uint32_t(y >> 2) << 8 | uint32_t(x >> 3) << 16;
    return b;
}

TABitmap Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    TABitmap p(w, h);
    p.FillColor(r, g, b);
    return p;
}

ArchiveInputFile File(const std::string& name, const TABitmap& picture, bool alpha) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(EncodePng(picture, bytes, alpha));
    return {name, bytes};
}

// Script 1 opens the title menu; scenes 101 and 103 leave a trail in the work variables.
constexpr const char* kScripts = R"(.script 1 "main"
set W5 1
system 101
wait -1
.script 101 "scene one"
set W3 W1
set W1 101
.script 103 "scene three"
set W2 W1
set W1 103
)";

struct AlbumGame : ScriptGame {
    explicit AlbumGame(bool withPictures = true) : ScriptGame(kScripts) {
        if (!withPictures) return;
        const TABitmap sheet = Sheet();
        test::WriteArchive(GameDir, 1,
                           {File("SysAlbum.png", Solid(kScreenWidth, kScreenHeight, 10, 10, 10), false),
                            File("SysAlbumP.png", sheet, true),
                            File("SysCgAlbum1.png", Solid(kScreenWidth, kScreenHeight, 40, 60, 80), false),
                            File("SysCgAlbum2.png", Solid(kScreenWidth, kScreenHeight, 41, 61, 81), false),
                            File("SysCgAlbumP.png", sheet, true),
                            File("SysEvAlbum1.png", Solid(kScreenWidth, kScreenHeight, 50, 70, 90), false),
                            File("SysEvAlbum2.png", Solid(kScreenWidth, kScreenHeight, 51, 71, 91), false),
                            File("SysEvAlbumP.png", sheet, true),
                            File("SysBgm1.png", Solid(kScreenWidth, kScreenHeight, 20, 20, 20), false),
                            File("SysBgmP.png", sheet, true),
                            File("01.png", Solid(kScreenWidth, kScreenHeight, 100, 0, 0), false),
                            File("01_1.png", Solid(kScreenWidth, kScreenHeight, 0, 100, 0), false),
                            File("01_2.png", Solid(kScreenWidth, kScreenHeight, 0, 0, 100), false)});
    }
    // Boots to the title menu's mode (left to its own routines), then enters `mode` the way the
    // menu before it does and lets the fade end in the menu's wait mode.
    TForm1& Enter(Mode mode, Mode waitMode) {
        TForm1& f = Boot();
        Passes(1);
        EXPECT_EQ(f.EngineMode, Mode::TitleMenuEnter);
        f.EngineMode = mode;
        EXPECT_TRUE(RunUntilMode(waitMode));
        return f;
    }
    // One pass of the current wait mode with the cursor at p and, when `click`, a click.
    void At(Point p, bool click = false) {
        Form->Input.CursorMain = p;
        Form->Input.MouseLeftClick = click;
        switch (Mode(Form->EngineMode)) {
            case Mode::AlbumMenuWait: Form->NOVL_WaitAlbumMenu(); break;
            case Mode::MusicRoomWait: Form->NOVL_WaitBgmMenu(); break;
            case Mode::GalleryWait: Form->NOVL_WaitCgMenu(); break;
            case Mode::GalleryViewWait: Form->NOVL_WaitCg(); break;
            case Mode::SceneReplayWait: Form->NOVL_WaitEvMenu(); break;
            default: ADD_FAILURE() << "not in a menu's wait mode: " << Mode(Form->EngineMode);
        }
    }
    // The gallery's first page, with the story having shown picture "01" alone.
    TForm1& EnterGallery() {
        TForm1& f = Boot();
        f.AddMitayo("01");
        f.Menus.SaveMenuPage = 1;
        Passes(1);
        f.EngineMode = Mode::GalleryEnter;
        EXPECT_TRUE(RunUntilMode(Mode::GalleryWait));
        return f;
    }
    void Click(Point p) { At(p, true); }
    // A painted frame with the cursor's hover of this pass.
    const TABitmap& Frame(Point p) {
        At(p);
        Form->PaintFrame();
        return Form->Pics->BackBuffer;
    }
};

const uint8_t* Px(const TABitmap& b, int x, int y) { return b.Row(y) + size_t(x) * 4; }

bool IsColour(const uint8_t* p, int r, int g, int b) { return p[2] == r && p[1] == g && p[0] == b; }

// The pixel came from the sheet's (sx, sy); drawing an opaque pixel keeps it within 2.
bool FromSheet(const uint8_t* p, int sx, int sy) {
    return std::abs(p[2] - (sx >> 3)) <= 2 && std::abs(p[1] - (sy >> 2)) <= 2 && std::abs(p[0] - 200) <= 2;
}

// Whether the 40×40 rectangle at (x, y) holds a pixel of the queue number's blue.
bool HasQueueBlue(const TABitmap& b, int x, int y) {
    for (int yy = y; yy < y + 40; ++yy)
        for (int xx = x; xx < x + 40; ++xx)
            if (IsColour(Px(b, xx, yy), 0, 102, 255)) return true;
    return false;
}

TEST(AlbumMenu, FourButtonsLeadToTheGalleryReplayMusicRoomAndTitle) {
    AlbumGame g;
    TForm1& f = g.Enter(Mode::AlbumMenuEnter, Mode::AlbumMenuWait);
    // The fade ends on the background with the four buttons in their normal look.
    EXPECT_TRUE(FromSheet(Px(f.Pics->ScenePicture, 528, 216), 0, 0));
    EXPECT_TRUE(FromSheet(Px(f.Pics->ScenePicture, 528, 384), 224, 40));
    EXPECT_TRUE(IsColour(Px(f.Pics->ScenePicture, 300, 300), 10, 10, 10));
    // The hovered button takes its look from 80 rows lower.
    EXPECT_TRUE(FromSheet(Px(g.Frame({600, 330}), 528, 328), 0, 120));
    EXPECT_EQ(f.Menus.MenuHover, 3);
    EXPECT_TRUE(FromSheet(Px(f.Pics->BackBuffer, 528, 216), 0, 0));

    g.Click({600, 260});  // the gap: consumed, nothing happens
    EXPECT_FALSE(f.Input.MouseLeftClick);
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuWait);

    f.Script.SceneTbl[1] = 104;
    f.Menus.SaveMenuPage = 2;
    g.Click({600, 280});
    EXPECT_EQ(f.EngineMode, Mode::SceneReplayEnter);
    EXPECT_EQ(f.Menus.SaveMenuPage, 1);
    EXPECT_EQ(f.Script.SceneTbl[1], 0);

    f.EngineMode = Mode::AlbumMenuWait;
    f.Menus.SaveMenuPage = 2;
    g.Click({528, 216});
    EXPECT_EQ(f.EngineMode, Mode::GalleryEnter);
    EXPECT_EQ(f.Menus.SaveMenuPage, 1);
    f.EngineMode = Mode::AlbumMenuWait;
    g.Click({751, 367});
    EXPECT_EQ(f.EngineMode, Mode::MusicRoomEnter);
    f.EngineMode = Mode::AlbumMenuWait;
    g.Click({600, 400});
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuEnter);
}

TEST(PictureGallery, UnseenItemIsCoveredUnhoverableAndIgnoresClicks) {
    AlbumGame g;
    TForm1& f = g.EnterGallery();
    const TABitmap& scene = f.Pics->ScenePicture;
    // Item 1 was seen: its thumbnail shows; item 2 ("02") was not: the cover hides it.
    EXPECT_TRUE(IsColour(Px(scene, 130, 100), 40, 60, 80));
    EXPECT_TRUE(FromSheet(Px(scene, 408, 96), 320, 128));
    EXPECT_TRUE(FromSheet(Px(scene, 674, 295), 320 + 266, 128 + 199));
    EXPECT_TRUE(FromSheet(Px(scene, 120, 320), 0, 328));
    // Page 1 is current, page 2 not; back in its normal look.
    EXPECT_TRUE(FromSheet(Px(scene, 32, 544), 0, 64));
    EXPECT_TRUE(FromSheet(Px(scene, 72, 544), 40, 0));
    EXPECT_TRUE(FromSheet(Px(scene, 672, 544), 240, 0));

    g.At({500, 200});
    EXPECT_EQ(f.Menus.MenuHover, 0);
    g.Click({500, 200});
    EXPECT_EQ(f.EngineMode, Mode::GalleryWait);
    EXPECT_FALSE(f.Input.MouseLeftClick);

    // Between the columns nothing is hovered.
    g.At({390, 150});
    EXPECT_EQ(f.Menus.MenuHover, 0);

    // The seen item brightens by 19 per channel under the cursor; the others stay.
    const TABitmap& frame = g.Frame({200, 200});
    EXPECT_EQ(f.Menus.MenuHover, 1);
    EXPECT_TRUE(IsColour(Px(frame, 120, 96), 59, 79, 99));
    EXPECT_TRUE(IsColour(Px(frame, 386, 295), 59, 79, 99));
    EXPECT_TRUE(IsColour(Px(frame, 387, 295), 40, 60, 80));
    EXPECT_TRUE(FromSheet(Px(frame, 408, 96), 320, 128));
    // A hovered page button shows its hover look, on the current page its current-and-hover look.
    EXPECT_TRUE(FromSheet(Px(g.Frame({40, 550}), 32, 544), 0, 96));
    EXPECT_TRUE(FromSheet(Px(g.Frame({80, 550}), 72, 544), 40, 32));
    EXPECT_TRUE(FromSheet(Px(g.Frame({700, 550}), 672, 544), 240, 32));

    // Page 2: its own background; everything there is unseen.
    g.Click({80, 550});
    EXPECT_EQ(f.EngineMode, Mode::GalleryEnter);
    ASSERT_TRUE(g.RunUntilMode(Mode::GalleryWait));
    EXPECT_EQ(f.Menus.SaveMenuPage, 2);
    EXPECT_TRUE(FromSheet(Px(scene, 130, 100), 10, 132));
    EXPECT_TRUE(IsColour(Px(scene, 300, 310), 41, 61, 81));
    EXPECT_TRUE(FromSheet(Px(scene, 72, 544), 40, 64));

    g.Click({700, 560});
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuEnter);
}

TEST(PictureGallery, ItemStepsThroughItsThreePicturesAndBackToThePage) {
    AlbumGame g;
    TForm1& f = g.EnterGallery();
    const TABitmap& scene = f.Pics->ScenePicture;

    g.Click({300, 200});
    EXPECT_EQ(f.EngineMode, Mode::GalleryViewEnter);
    EXPECT_EQ(f.Album.CgItem, 1);
    EXPECT_EQ(f.Album.CgVariant, 1);
    ASSERT_TRUE(g.RunUntilMode(Mode::GalleryViewWait));
    EXPECT_TRUE(IsColour(Px(scene, 400, 300), 100, 0, 0));
    g.At({10, 10});  // no click: the picture stays
    EXPECT_EQ(f.EngineMode, Mode::GalleryViewWait);

    g.Click({10, 10});
    ASSERT_TRUE(g.RunUntilMode(Mode::GalleryViewWait));
    EXPECT_TRUE(IsColour(Px(scene, 400, 300), 0, 100, 0));
    g.Click({10, 10});
    ASSERT_TRUE(g.RunUntilMode(Mode::GalleryViewWait));
    EXPECT_TRUE(IsColour(Px(scene, 400, 300), 0, 0, 100));
    EXPECT_EQ(f.Album.CgVariant, 3);

    // The fourth name is empty: back to the page, rebuilt.
    g.Click({10, 10});
    EXPECT_EQ(f.EngineMode, Mode::GalleryEnter);
    ASSERT_TRUE(g.RunUntilMode(Mode::GalleryWait));
    EXPECT_TRUE(IsColour(Px(scene, 130, 100), 40, 60, 80));
    // Only the first picture counts as seen for the list; the variants were not added.
    EXPECT_FALSE(f.CheckMitayo("01_1"));
}

TEST(SceneReplay, QueueNumbersThenReplayOfTwoScenesBackToTheMenu) {
    AlbumGame g;
    TForm1& f = g.Boot();
    g.Passes(1);
    ASSERT_EQ(f.EngineMode, Mode::TitleMenuEnter);
    const int32_t titleStep = f.Script.TitleReturnStep;
    EXPECT_EQ(titleStep, 1);
    f.Sys->SystemFlg[201 - 1] = 1;  // scenes 101 and 103 unlocked, 102 and 104 locked
    f.Sys->SystemFlg[203 - 1] = 1;
    f.Game.ScenarioFlg[0] = 7;
    f.Menus.SaveMenuPage = 1;
    f.EngineMode = Mode::SceneReplayEnter;
    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayWait));
    const TABitmap& scene = f.Pics->ScenePicture;
    EXPECT_TRUE(IsColour(Px(scene, 130, 100), 50, 70, 90));
    EXPECT_TRUE(FromSheet(Px(scene, 408, 96), 320, 128));  // locked scene 102 covered
    EXPECT_TRUE(FromSheet(Px(scene, 408, 320), 320, 328));
    EXPECT_TRUE(IsColour(Px(scene, 130, 330), 50, 70, 90));

    g.At({500, 200});  // locked: no hover, a click does nothing
    EXPECT_EQ(f.Menus.MenuHover, 0);
    g.Click({500, 200});
    EXPECT_EQ(f.Script.SceneTbl[1], 0);

    // Item 3, then item 1: numbered 1 and 2 at once on the screen.
    EXPECT_FALSE(HasQueueBlue(scene, 128, 328));
    g.Click({200, 400});
    EXPECT_EQ(f.Script.SceneTbl[1], 103);
    EXPECT_TRUE(HasQueueBlue(scene, 128, 328));
    EXPECT_FALSE(HasQueueBlue(scene, 128, 104));
    g.Click({200, 200});
    EXPECT_EQ(f.Script.SceneTbl[2], 101);
    EXPECT_TRUE(HasQueueBlue(scene, 128, 104));
    EXPECT_EQ(f.EngineMode, Mode::SceneReplayWait);

    // Changing pages keeps the queue and redraws its numbers.
    g.Click({80, 560});
    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayWait));
    EXPECT_FALSE(HasQueueBlue(scene, 128, 328));
    g.Click({40, 560});
    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayWait));
    EXPECT_TRUE(HasQueueBlue(scene, 128, 328));
    EXPECT_TRUE(HasQueueBlue(scene, 128, 104));
    EXPECT_EQ(f.Script.SceneTbl[2], 101);

    // Item 3 again starts the replay with the first queued scene.
    g.Click({200, 400});
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_EQ(f.Script.SceneIdx, 1);
    EXPECT_EQ(f.Game.ScriptNo, 103);
    EXPECT_EQ(f.Game.ScriptStep, -1);
    EXPECT_FALSE(f.StoryMode);
    EXPECT_TRUE(f.Skip.AutoMode);
    EXPECT_EQ(f.Game.SkipAllowed, 1);
    EXPECT_EQ(f.Game.ScenarioFlg[0], 0);

    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayEnter, 20));
    EXPECT_EQ(g.W(2), 0);    // scene 103 ran first
    EXPECT_EQ(g.W(3), 103);  // then scene 101
    EXPECT_EQ(g.W(1), 101);
    EXPECT_EQ(f.Game.ScriptNo, 1);
    EXPECT_EQ(f.Game.ScriptStep, titleStep);
    for (int i = 1; i <= 120; ++i) ASSERT_EQ(f.Script.SceneTbl[size_t(i)], 0);
    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayWait));
    EXPECT_FALSE(HasQueueBlue(scene, 128, 328));
    g.Click({700, 560});
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuEnter);

    // A save menu opened during a replay may leave its own page (here 7) behind: the scene
    // replay menu opens on its first page instead of an empty one.
    f.Menus.SaveMenuPage = 7;
    f.EngineMode = Mode::SceneReplayEnter;
    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayWait));
    EXPECT_EQ(f.Menus.SaveMenuPage, 1);
    EXPECT_TRUE(IsColour(Px(scene, 130, 100), 50, 70, 90));
}

TEST(MusicRoom, TrackControlsFollowTheScreenOrderAndBackRestartsTheTitleMusic) {
    AlbumGame g;
    TForm1& f = g.Enter(Mode::MusicRoomEnter, Mode::MusicRoomWait);
    EXPECT_STREQ(f.Game.MusicName, "STOP");
    EXPECT_EQ(f.Menus.SaveMenuPage, 0);
    const TABitmap& scene = f.Pics->ScenePicture;
    EXPECT_TRUE(FromSheet(Px(scene, 352, 176), 0, 32));   // track 7 on top
    EXPECT_TRUE(FromSheet(Px(scene, 352, 216), 0, 64));   // then track 1
    EXPECT_TRUE(FromSheet(Px(scene, 352, 416), 0, 224));  // track 6 last

    g.Click({700, 480});  // next from nothing: track 7
    EXPECT_EQ(f.Menus.SaveMenuPage, 7);
    EXPECT_EQ(f.Menus.MenuHover, 7);
    EXPECT_STREQ(f.Game.MusicName, "M07");
    EXPECT_EQ(f.Game.MusicLoop, 1);
    g.Click({610, 480});  // previous from 7: track 6
    EXPECT_EQ(f.Menus.SaveMenuPage, 6);
    EXPECT_STREQ(f.Game.MusicName, "M06");
    g.Click({700, 480});
    EXPECT_EQ(f.Menus.SaveMenuPage, 7);

    // Track 7 hovered and playing; its title strip and the header shown; next hovered.
    const TABitmap& frame = g.Frame({400, 190});
    EXPECT_TRUE(FromSheet(Px(frame, 352, 176), 1152, 32));
    EXPECT_TRUE(FromSheet(Px(frame, 352, 216), 0, 64));
    EXPECT_TRUE(FromSheet(Px(frame, 272, 112), 0, 352));
    EXPECT_TRUE(FromSheet(Px(frame, 272, 88), 0, 296));
    EXPECT_TRUE(FromSheet(Px(g.Frame({700, 480}), 696, 472), 848, 256));
    EXPECT_TRUE(FromSheet(Px(f.Pics->BackBuffer, 352, 176), 384, 32));

    g.Click({400, 300});  // track 3
    EXPECT_EQ(f.Menus.SaveMenuPage, 3);
    EXPECT_STREQ(f.Game.MusicName, "M03");
    g.Click({660, 480});  // stop
    EXPECT_EQ(f.Menus.SaveMenuPage, 0);
    EXPECT_STREQ(f.Game.MusicName, "STOP");
    const TABitmap& stopped = g.Frame({10, 10});
    EXPECT_TRUE(IsColour(Px(stopped, 272, 112), 20, 20, 20));

    g.Click({400, 210});  // the gap between rows: nothing
    EXPECT_EQ(f.Menus.SaveMenuPage, 0);
    g.Click({700, 560});
    EXPECT_STREQ(f.Game.MusicName, "M01");
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuEnter);
}

// The same screens through the platform's input: clicks at virtual times, the cursor sampled
// by the frame loop, the fades run by it.
TEST(AlbumMenus, ClicksOnTheTimelineWalkGalleryPictureAndMusicRoom) {
    AlbumGame g;
    auto click = [](uint32_t t, Point p) {
        TimelineEvent e;
        e.Time = t;
        e.Verb = TimelineVerb::Click;
        e.Pos = p;
        return e;
    };
    g.Start({click(1500, {600, 230}), click(2500, {250, 200}), click(3500, {250, 200}), click(4500, {250, 200}),
             click(5500, {250, 200}), click(6500, {700, 560}), click(7500, {600, 340}), click(8500, {700, 480}),
             click(9500, {700, 560})});
    TForm1& f = *g.Form;
    f.AddMitayo("01");
    auto runTo = [&](uint32_t t) {
        while (g.Plat->Ticks() < t) f.IdleEvent();
    };
    ASSERT_TRUE(g.RunUntilMode(Mode::TitleMenuWait));  // the title menu, shown by 1,100 ms
    ASSERT_LT(g.Plat->Ticks(), 1500u);
    f.EngineMode = Mode::AlbumMenuEnter;  // what the title menu's album button does
    runTo(2200);
    EXPECT_EQ(f.EngineMode, Mode::GalleryWait);
    runTo(3200);
    EXPECT_EQ(f.EngineMode, Mode::GalleryViewWait);
    EXPECT_TRUE(IsColour(Px(f.Pics->ScenePicture, 400, 300), 100, 0, 0));
    runTo(6200);
    EXPECT_EQ(f.EngineMode, Mode::GalleryWait);  // three pictures, then the page again
    runTo(7200);
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuWait);
    runTo(8200);
    EXPECT_EQ(f.EngineMode, Mode::MusicRoomWait);
    EXPECT_STREQ(f.Game.MusicName, "STOP");
    runTo(9200);
    EXPECT_STREQ(f.Game.MusicName, "M07");
    runTo(10200);
    EXPECT_EQ(f.EngineMode, Mode::AlbumMenuWait);
    EXPECT_STREQ(f.Game.MusicName, "M01");
    // The window shows the album menu again.
    EXPECT_TRUE(IsColour(Px(g.Plat->LastPresented(WindowId::Main), 300, 300), 10, 10, 10));
}

// A game without any album picture or music: each load is reported, the screens stay black and
// every menu still answers its clicks.
TEST(AlbumMenus, MissingPicturesAreReportedAndTheMenusKeepWorking) {
    AlbumGame g(false);
    TForm1& f = g.Enter(Mode::AlbumMenuEnter, Mode::AlbumMenuWait);
    const auto reported = [&](const std::string& name) {
        return std::find(f.DebugMemo.begin(), f.DebugMemo.end(), "read error : " + name) != f.DebugMemo.end();
    };
    EXPECT_TRUE(reported("SysAlbum.png") && reported("SysAlbumP.png"));
    f.AddMitayo("01");
    f.Sys->SystemFlg[201 - 1] = 1;

    g.Click({600, 230});
    ASSERT_TRUE(g.RunUntilMode(Mode::GalleryWait));
    EXPECT_TRUE(reported("SysCgAlbum1.png"));
    g.Click({200, 200});  // a seen item whose pictures are missing still steps through them
    ASSERT_TRUE(g.RunUntilMode(Mode::GalleryViewWait));
    EXPECT_TRUE(reported("01.png"));
    for (int i = 0; i < 3; ++i) {
        g.Click({10, 10});
        g.Passes(60);
    }
    EXPECT_EQ(f.EngineMode, Mode::GalleryWait);
    g.Click({700, 560});
    ASSERT_TRUE(g.RunUntilMode(Mode::AlbumMenuWait));

    g.Click({600, 290});
    ASSERT_TRUE(g.RunUntilMode(Mode::SceneReplayWait));
    g.Click({200, 200});
    EXPECT_EQ(f.Script.SceneTbl[1], 101);
    g.Click({700, 560});
    ASSERT_TRUE(g.RunUntilMode(Mode::AlbumMenuWait));

    g.Click({600, 340});
    ASSERT_TRUE(g.RunUntilMode(Mode::MusicRoomWait));
    g.Click({700, 480});  // the music file is missing: the track is still the one chosen
    EXPECT_EQ(f.Menus.SaveMenuPage, 7);
    g.Click({700, 560});
    ASSERT_TRUE(g.RunUntilMode(Mode::AlbumMenuWait));
    g.Click({600, 400});
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuEnter);
}

}  // namespace
}  // namespace orva
