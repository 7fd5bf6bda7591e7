// Fuzz target: the script container's index and name list, then every entry read and parsed.
#include "data/script_container.h"
#include "fuzz_common.h"
#include "script/script_image.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz::Scratch() / "container" / "SCRIPT.DAT";
    fuzz::WriteFile(file, {data, size});
    TScriptContainer container;
    if (!container.Init(file).Ok) return 0;
    for (int index : {-1, 0, 1, 2, 3, 4, 65535, 65536}) {
        TMemoryStream stream;
        container.ReadFile(1, index, stream);
        ParseScriptEntry(stream.View());
    }
    return 0;
}
