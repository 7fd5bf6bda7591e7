// The demo game copied into a temp folder and driven pass by pass on the headless engine.
#pragma once

#include <cstdlib>

#include "fixtures/game_fixture.h"
#include "graphics/png_write.h"

namespace orva::test {

struct DemoGame : EngineHarness {
    DemoGame() {
        namespace fs = std::filesystem;
        fs::copy_file(fs::path(ORVA_DEMO_DIR) / "SCRIPT.DAT", GameDir / "SCRIPT.DAT", fs::copy_options::overwrite_existing);
        fs::copy(fs::path(ORVA_DEMO_DIR) / "data", GameDir / "data", fs::copy_options::recursive);
    }
    bool RunUntilMode(Mode mode, int limit = 2000) {
        for (int i = 0; i < limit && Form->EngineMode != mode; ++i) Form->IdleEvent();
        return Form->EngineMode == mode;
    }
    // A left click in `window`, delivered at the end of the next pass and acted on by the one after.
    void Click(Point p, WindowId window = WindowId::Main) {
        Plat->Inject({.Verb = TimelineVerb::Click, .Window = window, .Pos = p});
        Passes(2);
    }
    // With ORVA_MENU_CAPTURES set to a folder, writes the main window's last frame there as NAME.png.
    void Capture(const std::string& name) {
        const char* dir = std::getenv("ORVA_MENU_CAPTURES");
        std::vector<uint8_t> png;
        if (dir && EncodePng(Plat->LastPresented(WindowId::Main), png)) WriteBytes(std::filesystem::path(dir) / (name + ".png"), png);
    }
};

}  // namespace orva::test
