// Helpers for the text engine tests: starting a message with the script's message command,
// pixel probes of layers and pictures, and optional captures for a look by eye.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "data/cp932.h"
#include "fixtures/game_fixture.h"
#include "graphics/png_write.h"

namespace orva::test {

// Starts a message through the script's message command: the text becomes message `no` of the
// loaded script (without a voice) and the command lays it out and starts the printing.
inline void StartMessage(TForm1& f, const std::u16string& text, int32_t no = 0) {
    std::vector<std::string>& texts = f.Script.MsgTexts;
    if (texts.size() <= static_cast<size_t>(no)) texts.resize(static_cast<size_t>(no) + 1);
    texts[static_cast<size_t>(no)] = Utf16ToCp932(text).value();
    ScriptCommand cmd;
    cmd.Code = kCodeMessage;
    cmd.P1 = static_cast<int16_t>(no);
    cmd.P5 = -1;
    f.CmdMessage(cmd);
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
