// Helpers for the text engine tests: starting a message the way the script's message command
// does, pixel probes of layers and pictures, and optional captures for a look by eye.
#pragma once

#include <cstdlib>
#include <string>

#include "fixtures/game_fixture.h"
#include "graphics/png_write.h"

namespace orva::test {

// What the message command does before the printing starts.
inline void StartMessage(TForm1& f, const std::u16string& text, int32_t no = 0) {
    f.NOVL_ClearKey();
    f.NOVL_ClearMouseButton();
    f.Text.MsgNo = no;
    f.Text.IsChoice = false;
    f.NOVL_MakeMessage(text);
    f.Text.MsgOnScreen = true;
    f.Text.ChoiceOnScreen = false;
    f.Text.LogReview = false;
    f.EngineMode = Mode::MessagePrint;
    f.Text.PrintCount = 0;
    f.Text.MsgWinShown = false;
}

inline const uint8_t* Px(const TABitmap& b, int x, int y) { return b.Row(y) + static_cast<size_t>(x) * 4; }

// True when any pixel of the rectangle differs from (r, g, b).
inline bool AnyOther(const TABitmap& pic, int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = Px(pic, x, y);
            if (p[0] != b || p[1] != g || p[2] != r) return true;
        }
    return false;
}

// With ORVA_TEXT_CAPTURES set to a folder, writes the picture there as NAME.png.
inline void Capture(const TABitmap& pic, const std::string& name) {
    const char* dir = std::getenv("ORVA_TEXT_CAPTURES");
    if (!dir) return;
    std::vector<uint8_t> png;
    if (EncodePng(pic, png)) WriteBytes(std::filesystem::path(dir) / (name + ".png"), png);
}

}  // namespace orva::test
