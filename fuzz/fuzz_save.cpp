// Fuzz target: the system save files as a player's folder may hold them — "SAVE.DAT" whole, cut
// short or missing, with a fuzzed save slot and configuration, and a fuzzed "SAVE2.DAT" — read at
// start-up, the slot restored into a small game and played for a while, the load menu drawn over
// every slot and a save written back.
//
// Input: byte 0 chooses the form of SAVE.DAT (bits 0-1: 0 whole, 1 cut to the input's length,
// 2 missing) and whether SAVE2.DAT exists (bit 2); byte 1 the slot (1..100); then the slot's
// 1,600 bytes, the 32 configuration bytes, and the rest is SAVE2.DAT.
#include <algorithm>
#include <cstring>
#include <iostream>

#include "data/save_layout.h"
#include "app/main_form.h"
#include "data/archive_writer.h"
#include "data/container_writer.h"
#include "fuzz_common.h"
#include "fuzz_story.h"
#include "graphics/abitmap.h"
#include "graphics/png_write.h"
#include "orva_asm/assembler.h"
#include "platform/headless/headless_platform.h"
#include "sound/ogg_writer.h"

using namespace orva;

namespace {

std::vector<uint8_t> Picture(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    TABitmap picture(w, h);
    picture.FillColor(r, g, b);
    std::vector<uint8_t> out;
    EncodePng(picture, out);
    return out;
}

std::vector<uint8_t> Tone(int frames) {
    OggWriteOptions options;
    options.Channels = 1;
    options.Comments = {"COMMENT=*looptime,0,0.05,0.15,-1"};
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 97) % 3000 - 1500);
    std::vector<uint8_t> out;
    std::string error;
    EncodeOggVorbis(samples, options, out, error);
    return out;
}

// The game every input is restored into: the story's scripts and the pictures and sounds it names.
const std::filesystem::path& Game() {
    static const std::filesystem::path dir = [] {
        const auto d = fuzz::Scratch() / "save-game";
        AssembledSource story;
        std::vector<Diagnostic> errors;
        std::vector<uint8_t> container, archive;
        std::string error;
        if (!AssembleSource(fuzz::kStory, "story.txt", story, errors) ||
            !BuildContainerFromSources({story}, container, errors))
            std::abort();
        fuzz::WriteFile(d / "SCRIPT.DAT", container);
        const std::vector<uint8_t> tone = Tone(4410);
        if (!BuildArchive({{"bg_room.png", Picture(800, 600, 40, 60, 90)},
                           {"bg_beach.png", Picture(640, 480, 200, 180, 120)},
                           {"aya_smile.png", Picture(300, 500, 250, 120, 160)},
                           {"bgm01.ogg", tone},
                           {"se_door.ogg", tone},
                           {"v_aya001.ogg", tone}},
                          archive, error))
            std::abort();
        fuzz::WriteFile(d / "data" / "DATA01.cfp", archive);
        return d;
    }();
    return dir;
}

}  // namespace

// The engine reports damaged saves on stderr; here that would drown the fuzzer's own output.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::cerr.rdbuf(nullptr);
    Game();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int form = data[0] & 3;
    const bool hasSave2 = (data[0] & 4) != 0;
    const int slot = 1 + data[1] % kSaveSlots;
    data += 2;
    size -= 2;

    const auto saves = fuzz::Scratch() / "save-run";
    std::error_code ec;
    std::filesystem::remove_all(saves, ec);
    std::filesystem::create_directories(saves / "THUMB");

    auto block = std::make_unique<SystemBlock>();
    std::memset(block.get(), 0, sizeof(SystemBlock));
    block->Config = DefaultConfig();
    GameRec& rec = block->SaveSlots[slot - 1];
    const size_t recBytes = std::min(size, sizeof(GameRec));
    std::memcpy(&rec, data, recBytes);
    rec.InUse = 1;
    data += recBytes;
    size -= recBytes;
    const size_t configBytes = std::min(size, sizeof(ConfigRec));
    std::memcpy(&block->Config, data, configBytes);
    data += configBytes;
    size -= configBytes;

    const auto* image = reinterpret_cast<const uint8_t*>(block.get());
    if (form == 0) fuzz::WriteFile(saves / "SAVE.DAT", {image, sizeof(SystemBlock)});
    if (form == 1) fuzz::WriteFile(saves / "SAVE.DAT", {image, std::min(sizeof(SystemBlock), 2 + recBytes + configBytes)});
    if (hasSave2) fuzz::WriteFile(saves / "SAVE2.DAT", {data, size});

    HeadlessPlatform platform({}, {}, 1000000);
    EngineOptions options;
    options.GameDir = Game();
    options.SaveDir = saves;
    options.HasSeed = true;
    options.Seed = 1;
    TForm1 form1(platform, options);
    if (!form1.FormCreate()) return 0;
    // Restore the slot (the load menu's second click) and play on until the first lasting wait.
    form1.LoadFromSlot(slot);
    for (int pass = 0; pass < 12; ++pass) form1.IdleEvent();
    // The load menu draws every slot of the slot's page: labels, times, comments, thumbnails.
    form1.OpenSaveMenu(false);
    for (int pass = 0; pass < 3; ++pass) form1.IdleEvent();
    form1.SaveToSlot(slot % kSaveSlots + 1);
    return 0;
}
