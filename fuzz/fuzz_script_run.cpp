// Fuzz target: one script entry (used as scripts 1 and 2) loaded and run by the engine on the
// headless platform for a bounded number of passes.
#include <iostream>
#include <map>

#include "app/main_form.h"
#include "data/container_writer.h"
#include "data/file_io.h"
#include "fuzz_common.h"
#include "platform/headless/headless_platform.h"

using namespace orva;

// The engine reports damaged scripts on stderr; here that would drown the fuzzer's own output.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::cerr.rdbuf(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto game = fuzz::Scratch() / "run" / "game";
    std::vector<uint8_t> entry(data, data + size), container;
    std::string error;
    if (!BuildScriptContainer({"A", "B"}, {{1, entry}, {2, entry}}, container, error)) return 0;
    fuzz::WriteFile(game / "SCRIPT.DAT", container);

    HeadlessPlatform platform({}, {}, 1000000);
    EngineOptions options;
    options.GameDir = game;
    options.SaveDir = fuzz::Scratch() / "run" / "save";
    options.HasSeed = true;
    options.Seed = 1;
    TForm1 form(platform, options);
    if (!form.FormCreate()) return 0;
    // A pass of a script that never waits is bounded by the interpreter itself; lasting modes
    // whose subsystems do not answer here are let go so that the script keeps running.
    for (int pass = 0; pass < 8; ++pass) {
        form.IdleEvent();
        if (form.EngineMode != Mode::Script && form.EngineMode != Mode::Startup) form.EngineMode = Mode::Script;
    }
    return 0;
}
