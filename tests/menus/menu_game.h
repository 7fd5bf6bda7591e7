// Test fixture for the menus: a game with the menu pictures, a background, a character and
// two pieces of music, built by the project's own writers, driven pass by pass.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "fixtures/script_game.h"
#include "graphics/png_write.h"
#include "sound/sound_fixture.h"
#include "platform/screen_layout.h"

namespace orva::test {

inline std::vector<uint8_t> Png(const TABitmap& pic, bool withAlpha = false) {
    std::vector<uint8_t> out;
    if (!EncodePng(pic, out, withAlpha)) throw std::runtime_error("png");
    return out;
}

inline TABitmap Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    TABitmap pic(w, h);
    pic.FillColor(r, g, b);
    return pic;
}

// The menu parts' colours, told apart by the red byte.
inline constexpr uint8_t kMarkRed = 250, kSaveTitleRed = 11, kLoadTitleRed = 12;

inline std::vector<ArchiveInputFile> MenuGameFiles() {
    TABitmap parts = Solid(kScreenWidth, kScreenHeight, 0, 0, 0);
    parts.FillRect(0, 128, 352, 80, 200, 200, 0);          // slot under the cursor
    parts.FillRect(0, 208, 352, 80, 0, 200, 200);          // selected slot
    parts.FillRect(352, 256, 32, 16, kMarkRed, 0, 0);      // newest-save mark
    parts.FillRect(352, 128, 256, 64, kSaveTitleRed, 255, 0);
    parts.FillRect(352, 192, 256, 64, kLoadTitleRed, 0, 255);
    TABitmap bg(kScreenWidth, kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) bg.Pixels()[y * kScreenWidth + x] = uint32_t(x % 256) | uint32_t(y % 256) << 8 | 0x300000u;
    TABitmap titleParts = Solid(448, 160, 0, 0, 0);
    titleParts.FillRect(0, 80, 448, 80, 255, 255, 255);    // every hover look white
    ToneRecipe tone;
    tone.SegmentSeconds = 0.5;
    const auto m01 = EncodeTone(tone);
    tone.Hz = 660;
    const auto m05 = EncodeTone(tone);
    return {{"SysSave.png", Png(Solid(kScreenWidth, kScreenHeight, 60, 60, 60), true)},
            {"SysSaveP.png", Png(parts, true)},
            {"SysTitle.png", Png(Solid(kScreenWidth, kScreenHeight, 0, 0, 90))},
            {"SysTitleP.png", Png(titleParts, true)},
            {"BG01.png", Png(bg)},
            {"CH01.png", Png(Solid(200, 300, 250, 100, 50), true)},
            {"M01.ogg", m01},
            {"M05.ogg", m05}};
}

struct MenuGame : ScriptGame {
    explicit MenuGame(const std::string& source) : ScriptGame(source) { WriteArchive(GameDir, 1, MenuGameFiles()); }

    TForm1& BootTraced() {
        Boot();
        std::string error;
        if (!Form->Trace.Open(Root.Path() / "trace.jsonl", error)) throw std::runtime_error(error);
        return *Form;
    }
    // A left click at p in the main window, delivered at the end of the next pass and acted on by the one after.
    void Click(Point p, int passes = 2) {
        Plat->Inject({.Verb = TimelineVerb::Click, .Pos = p});
        Passes(passes);
    }
    void Type(const std::string& text) {
        Plat->Inject({.Verb = TimelineVerb::Text, .Text = text});
        Passes(1);
    }
    std::vector<uint8_t> SaveFileBytes() const { return ReadWholeFile(SaveDir / "SAVE.DAT").value_or(std::vector<uint8_t>{}); }
    // The trace's lines holding `ev`, without their times.
    std::vector<std::string> TraceEvents(const std::string& ev) {
        Form->Trace.Close();
        std::ifstream in(Root.Path() / "trace.jsonl");
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);)
            if (const size_t at = line.find("\"ev\":\"" + ev + "\""); at != std::string::npos) out.push_back(line.substr(at));
        return out;
    }
};

// With ORVA_MENU_CAPTURES set to a folder, writes the main window's last frame there as NAME.png.
inline void CaptureMain(const HeadlessPlatform& plat, const std::string& name) {
    const char* dir = std::getenv("ORVA_MENU_CAPTURES");
    if (!dir) return;
    WriteBytes(std::filesystem::path(dir) / (name + ".png"), Png(plat.LastPresented(WindowId::Main)));
}

// A click inside position i (1..10) of the save menu's page.
inline Point SlotPoint(int i) {
    const int c = (i - 1) % 2, r = (i - 1) / 2;
    return {60 + 368 * c, 100 + 88 * r};
}
inline Point TabPoint(int k) { return {40 + 40 * (k - 1), 550}; }
inline constexpr Point kCommentButton{600, 550}, kBackButton{700, 550};

}  // namespace orva::test
