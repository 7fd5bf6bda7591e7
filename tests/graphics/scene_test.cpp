// The main form's picture routines on the headless platform: every load slot, read errors,
// the composed scene and the two transitions as the frame loop runs them.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "fixtures/script_game.h"
#include "graphics/png_load.h"
#include "graphics/png_write.h"
#include "graphics/reference.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

using test::EngineHarness;
using test::ScriptGame;

// A picture with a gradient, noise and (when alpha is set) a soft-edged invisible surround.
TABitmap Picture(int w, int h, uint32_t seed, bool alpha) {
    TABitmap b(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t t = 0;
            if (alpha) {
                const int edge = std::min({x, y, w - 1 - x, h - 1 - y});
                t = edge < 8 ? 255 : edge < 24 ? static_cast<uint32_t>(255 - (edge - 8) * 16) : (rng() % 3 == 0 ? 40 : 0);
            }
            b.Pixels()[y * w + x] = static_cast<uint32_t>(x * 255 / w) | static_cast<uint32_t>(y * 255 / h) << 8 |
                                    (rng() & 0xFF) << 16 | t << 24;
        }
    return b;
}

std::vector<uint8_t> Png(const TABitmap& picture, bool alpha) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(EncodePng(picture, bytes, alpha));
    return bytes;
}

bool SamePixels(const TABitmap& a, const TABitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::equal(a.Pixels(), a.Pixels() + static_cast<size_t>(a.Width()) * a.Height(), b.Pixels());
}

std::string ReadText(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// What the commands do before the loads: the layer black over the screen, its record set.
void PrepareLayer(TForm1& f, int s, const char* name, int32_t x, int32_t alpha) {
    f.Pics->LayerPicture[static_cast<size_t>(s)].SetSize32(kScreenWidth, kScreenHeight);
    f.Pics->LayerPicture[static_cast<size_t>(s)].FillColor(0, 0, 0);
    std::snprintf(f.Game.LayerName[s - 1], sizeof f.Game.LayerName[s - 1], "%s", name);
    f.Game.LayerPos[s - 1][0] = x;
    f.Game.LayerPos[s - 1][1] = 0;
    f.Game.LayerAlpha[s - 1] = alpha;
}

TEST(ReadGraphic2011, EverySlotFillsItsPictureAndOtherSlotsOnlyDecode) {
    EngineHarness h;
    const TABitmap bg = Picture(640, 480, 1, true), ch = Picture(120, 90, 2, true), plain = Picture(50, 40, 3, false);
    test::WriteArchive(h.GameDir, 1, {{"bg.png", Png(bg, true)}, {"ch.png", Png(ch, true)}, {"plain.png", Png(plain, false)}});
    TForm1& f = h.Start();
    f.DebugMemo.clear();  // start-up reads the dialog pictures this game lacks
    std::string error;
    ASSERT_TRUE(f.Trace.Open(h.Root.Path() / "trace.jsonl", error));
    PictureSet& p = *f.Pics;

    // The background keeps colours only, at the PNG's size.
    f.NOVL_ReadGraphic2011(0, "bg.png");
    ASSERT_EQ(p.LayerPicture[0].Width(), 640);
    ASSERT_EQ(p.LayerPicture[0].Height(), 480);
    for (int i = 0; i < 640 * 480; ++i) ASSERT_EQ(p.LayerPicture[0].Pixels()[i], bg.Pixels()[i] & 0x00FFFFFFu);

    // Every other slot keeps the transparency.
    const std::pair<int, TABitmap*> slots[] = {
        {1, &p.LayerPicture[1]}, {2, &p.LayerPicture[2]}, {3, &p.LayerPicture[3]}, {4, &p.LayerPicture[4]},
        {5, &p.LayerPicture[5]}, {10, &p.MsgWinPicture},  {51, &p.ButtonSheet},     {52, &p.ChoiceWindowPicture},
        {53, &p.ChoiceHighlightPicture}, {71, &p.MenuPicture}, {72, &p.MenuParts}};
    for (const auto& [slot, target] : slots) {
        f.NOVL_ReadGraphic2011(slot, "ch.png");
        EXPECT_TRUE(SamePixels(*target, ch)) << "slot " << slot;
    }
    // A picture without transparency becomes wholly invisible in a masked slot.
    f.NOVL_ReadGraphic2011(3, "plain.png");
    ASSERT_EQ(p.LayerPicture[3].Width(), 50);
    for (int i = 0; i < 50 * 40; ++i) ASSERT_EQ(p.LayerPicture[3].Pixels()[i], plain.Pixels()[i] | 0xFF000000u);

    // A slot without a picture changes nothing.
    TABitmap before[6];
    for (int s = 0; s < 6; ++s) before[s].Assign(p.LayerPicture[static_cast<size_t>(s)]);
    f.NOVL_ReadGraphic2011(7, "ch.png");
    for (int s = 0; s < 6; ++s) EXPECT_TRUE(SamePixels(before[s], p.LayerPicture[static_cast<size_t>(s)]));
    EXPECT_TRUE(f.DebugMemo.empty());

    f.Trace.Close();
    const std::string trace = ReadText(h.Root.Path() / "trace.jsonl");
    EXPECT_NE(trace.find(R"("ev":"picture","slot":0,"name":"bg.png","ok":true)"), std::string::npos) << trace;
    EXPECT_NE(trace.find(R"("ev":"picture","slot":72,"name":"ch.png","ok":true)"), std::string::npos);
    EXPECT_NE(trace.find(R"("ev":"picture","slot":7,"name":"ch.png","ok":true)"), std::string::npos);
}

TEST(ReadGraphic2011, MissingEmptyDamagedAndOversizedFilesAreReadErrorsThatChangeNothing) {
    EngineHarness h;
    const TABitmap ch = Picture(60, 40, 4, true);
    std::vector<uint8_t> truncated = Png(ch, true);
    truncated.resize(truncated.size() / 2);
    std::vector<uint8_t> garbage(200, 0x5A);
    TABitmap huge(4097, 1);
    test::WriteArchive(h.GameDir, 1,
                       {{"half.png", truncated}, {"text.png", garbage}, {"empty.png", {}}, {"huge.png", Png(huge, false)},
                        {"ok.png", Png(ch, true)}});
    TForm1& f = h.Start();
    f.DebugMemo.clear();  // start-up reads the dialog pictures this game lacks
    std::string error;
    ASSERT_TRUE(f.Trace.Open(h.Root.Path() / "trace.jsonl", error));
    PictureSet& p = *f.Pics;
    p.LayerPicture[1].FillColor(1, 2, 3);
    TABitmap keep;
    keep.Assign(p.LayerPicture[1]);

    const char* bad[] = {"missing.png", "half.png", "text.png", "empty.png", "huge.png", ".png"};
    for (const char* name : bad) f.NOVL_ReadGraphic2011(1, name);
    EXPECT_TRUE(SamePixels(p.LayerPicture[1], keep));
    ASSERT_EQ(f.DebugMemo.size(), std::size(bad));
    for (size_t i = 0; i < std::size(bad); ++i) EXPECT_EQ(f.DebugMemo[i], std::string("read error : ") + bad[i]);

    // The game goes on: a good picture still loads and the frame loop runs.
    f.NOVL_ReadGraphic2011(1, "ok.png");
    EXPECT_TRUE(SamePixels(p.LayerPicture[1], ch));
    h.Passes(5);
    f.Trace.Close();
    const std::string trace = ReadText(h.Root.Path() / "trace.jsonl");
    EXPECT_NE(trace.find(R"("slot":1,"name":"half.png","ok":false)"), std::string::npos) << trace;
    EXPECT_NE(trace.find(R"("slot":1,"name":"missing.png","ok":false)"), std::string::npos);
    EXPECT_NE(trace.find(R"("slot":1,"name":"ok.png","ok":true)"), std::string::npos);
}

// The scene a background and two characters compose to, written the plain way.
TABitmap ReferenceScene(const TABitmap& bg, const TABitmap& left, int32_t leftX, const TABitmap& right, int32_t rightX) {
    TABitmap next(kScreenWidth, kScreenHeight);
    next.FillColor(0, 0, 0);
    for (int y = 0; y < std::min(bg.Height(), kScreenHeight); ++y)
        for (int x = 0; x < std::min(bg.Width(), kScreenWidth); ++x) next.Pixels()[y * kScreenWidth + x] = bg.Pixels()[y * bg.Width() + x] & 0x00FFFFFFu;
    ref::Draw(ref::Op::AlphaKeyed, right, rightX, 0, right.Width(), right.Height(), 0, 0, next, 255);  // layer 2 first
    ref::Draw(ref::Op::AlphaKeyed, left, leftX, 0, left.Width(), left.Height(), 0, 0, next, 255);     // layer 1 on top
    return next;
}

TEST(SceneTransition, ShowFadesInAndTheFrameAfterTheEndIsTheReferenceComposition) {
    EngineHarness h;
    const TABitmap bg = Picture(kScreenWidth, kScreenHeight, 5, false), a = Picture(400, kScreenHeight, 6, true), b = Picture(400, kScreenHeight, 7, true);
    test::WriteArchive(h.GameDir, 1, {{"bg.png", Png(bg, false)}, {"a.png", Png(a, true)}, {"b.png", Png(b, true)}});
    TForm1& f = h.Start();
    // The story is running: the empty script restarts when it ends, where outside the story
    // its end would close a scene replay and open the scene replay menu over the scene.
    f.StoryMode = true;
    h.Passes(3);
    f.NOVL_ReadGraphic2011(0, "bg.png");
    PrepareLayer(f, 1, "a", -200, 255);
    f.NOVL_ReadGraphic2011(1, "a.png");
    PrepareLayer(f, 2, "b", 0, 255);  // overlaps layer 1 on 0 … 199
    f.NOVL_ReadGraphic2011(2, "b.png");
    PrepareLayer(f, 3, "", 0, 255);  // loaded but hidden: no name
    f.NOVL_ReadGraphic2011(3, "a.png");
    const TABitmap expected = ReferenceScene(bg, a, -200, b, 0);

    f.NOVL_CreateNextImage();
    ASSERT_TRUE(SamePixels(f.Pics->NextPicture, expected));
    const uint32_t start = h.Plat->Ticks();
    f.Timing.TransStart = static_cast<int32_t>(start);
    f.Timing.TransLength = 1000;
    f.Timing.TransEnd = f.Timing.TransStart + 1000;
    f.EngineMode = Mode::ScriptFade;

    // The first step (elapsed 0) leaves the black screen; halfway the scene is neither.
    f.IdleEvent();
    TABitmap black(kScreenWidth, kScreenHeight);
    black.FillColor(0, 0, 0);
    EXPECT_TRUE(SamePixels(f.Pics->ScenePicture, black));
    while (h.Plat->Ticks() < start + 500) f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::ScriptFade);
    EXPECT_FALSE(SamePixels(h.Plat->LastPresented(WindowId::Main), black));
    EXPECT_FALSE(SamePixels(h.Plat->LastPresented(WindowId::Main), expected));
    while (f.EngineMode == Mode::ScriptFade && h.Plat->Ticks() < start + 2000) f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_GE(h.Plat->Ticks(), start + 1000);
    h.Passes(4);  // at least one painted frame after the end
    EXPECT_TRUE(SamePixels(h.Plat->LastPresented(WindowId::Main), expected));
}

TEST(SceneTransition, SkipAndScreenEffectsCutScriptFadesButNotMenuFades) {
    EngineHarness h;
    TForm1& f = h.Start();
    auto startFade = [&](Mode mode, int32_t length) {
        f.Pics->ScenePicture.FillColor(0, 0, 0);
        f.Pics->NextPicture.FillColor(255, 255, 255);
        f.Timing.TransStart = static_cast<int32_t>(h.Plat->Ticks());
        f.Timing.TransLength = length;
        f.Timing.TransEnd = f.Timing.TransStart + length;
        f.EngineMode = mode;
    };
    // Skipping: the script's fade ends on its first pass with the exact target.
    f.Game.SkipAllowed = 1;
    f.Skip.SkipActive = true;
    startFade(Mode::ScriptFade, 1000);
    f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_TRUE(SamePixels(f.Pics->ScenePicture, f.Pics->NextPicture));
    f.Skip.SkipActive = false;

    // Screen effects off: the same for the script's fade ...
    f.Config.ScreenEffects = 0;
    startFade(Mode::ScriptFade, 1000);
    f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::Script);
    EXPECT_TRUE(SamePixels(f.Pics->ScenePicture, f.Pics->NextPicture));

    // ... while a menu's fade still takes its 500 ms and then hands over to PrevMode.
    f.PrevMode = Mode::TitleMenuWait;
    startFade(Mode::FadeToPrevMode, 500);
    const uint32_t start = h.Plat->Ticks();
    f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::FadeToPrevMode);
    while (f.EngineMode == Mode::FadeToPrevMode && h.Plat->Ticks() < start + 1000) f.IdleEvent();
    EXPECT_EQ(f.EngineMode, Mode::TitleMenuWait);
    EXPECT_GE(h.Plat->Ticks(), start + 500);
    EXPECT_LT(h.Plat->Ticks(), start + 530);
    EXPECT_TRUE(SamePixels(f.Pics->ScenePicture, f.Pics->NextPicture));
}

// A played script: background, two characters and a show command; after the fade the window
// shows exactly the reference composition.
TEST(SceneScript, BackgroundTwoCharactersAndShowEndOnTheReferenceComposition) {
    const std::string source = R"(.script 1 "scene"
bg "room"
char1 1 "aya" show
char2 2 "mei" show
char3 3 "aya"
trans
wait -1
)";
    ScriptGame g(source);
    const TABitmap room = Picture(kScreenWidth, kScreenHeight, 8, false), aya = Picture(400, kScreenHeight, 9, true), mei = Picture(400, kScreenHeight, 10, true);
    test::WriteArchive(g.GameDir, 1, {{"room.png", Png(room, false)}, {"aya.png", Png(aya, true)}, {"mei.png", Png(mei, true)}});
    TForm1& f = g.Boot();
    const size_t memoAtStart = f.DebugMemo.size();  // the window pictures this game lacks
    ASSERT_TRUE(g.RunUntilMode(Mode::ScriptFade, 10));
    const uint32_t start = g.Plat->Ticks();
    EXPECT_EQ(f.DebugMemo.size(), memoAtStart);
    EXPECT_STREQ(f.Game.LayerName[0], "aya");
    EXPECT_STREQ(f.Game.LayerName[2], "");  // loaded, not shown
    EXPECT_EQ(f.Game.LayerPos[0][0], -200);
    EXPECT_EQ(f.Game.LayerPos[1][0], 0);
    EXPECT_EQ(f.Game.LayerPos[2][0], 200);
    ASSERT_TRUE(g.RunUntilMode(Mode::KeyWait, 200));
    EXPECT_GE(g.Plat->Ticks(), start + 1000);
    g.Passes(4);
    const TABitmap expected = ReferenceScene(room, aya, -200, mei, 0);
    EXPECT_TRUE(SamePixels(g.Plat->LastPresented(WindowId::Main), expected));

    // The same run captured as a PNG file at 3 s holds the same colours.
    ScriptGame again(source);
    test::WriteArchive(again.GameDir, 1, {{"room.png", Png(room, false)}, {"aya.png", Png(aya, true)}, {"mei.png", Png(mei, true)}});
    const auto shot = again.Root.Path() / "shot.png";
    again.Plat = std::make_unique<HeadlessPlatform>(std::vector<TimelineEvent>{},
                                                    std::vector<HeadlessShot>{{.Time = 3000, .File = shot}}, 600000);
    EngineOptions options;
    options.GameDir = again.GameDir;
    options.SaveDir = again.SaveDir;
    again.Form = std::make_unique<TForm1>(*again.Plat, options);
    ASSERT_TRUE(again.Form->FormCreate());
    while (again.Plat->Ticks() < 3100) again.Form->IdleEvent();
    const auto file = ReadWholeFile(shot);
    ASSERT_TRUE(file.has_value());
    TABitmap captured;
    bool hasAlpha = true;
    std::string error;
    ASSERT_TRUE(DecodePng(*file, captured, hasAlpha, error)) << error;
    ASSERT_EQ(captured.Width(), kScreenWidth);
    for (int i = 0; i < kScreenWidth * kScreenHeight; ++i)
        ASSERT_EQ(captured.Pixels()[i], expected.Pixels()[i] & 0x00FFFFFFu) << "pixel " << i;
}

TEST(SceneScript, MissingPicturesAreLoggedOncePerLoadAndTheGameGoesOn) {
    ScriptGame g(R"(.script 1 "scene"
bg "nobg"
trans
char1 2 "nochar" show
trans
char2 2 "nochar"
trans
wait -1
)");
    TForm1& f = g.Boot();
    const size_t memo = f.DebugMemo.size();
    const Mode fade = Mode::ScriptFade;
    auto nextFade = [&] { return g.RunUntilMode(Mode::Script, 200) && g.RunUntilMode(fade, 10); };
    ASSERT_TRUE(g.RunUntilMode(fade, 10));
    ASSERT_EQ(f.DebugMemo.size(), memo + 1);  // the background: one load
    EXPECT_EQ(f.DebugMemo.back(), "read error : nobg.png");
    ASSERT_TRUE(nextFade());
    ASSERT_EQ(f.DebugMemo.size(), memo + 3);  // a shown character is loaded twice
    EXPECT_EQ(f.DebugMemo[memo + 1], "read error : nochar.png");
    EXPECT_EQ(f.DebugMemo[memo + 2], "read error : nochar.png");
    ASSERT_TRUE(nextFade());
    EXPECT_EQ(f.DebugMemo.size(), memo + 4);  // a hidden one once
    ASSERT_TRUE(g.RunUntilMode(Mode::KeyWait, 300));
    // The shown layer whose picture is missing draws the black it was filled with.
    TABitmap black(kScreenWidth, kScreenHeight);
    black.FillColor(0, 0, 0);
    g.Passes(4);
    EXPECT_TRUE(SamePixels(g.Plat->LastPresented(WindowId::Main), black));
}

}  // namespace
}  // namespace orva
