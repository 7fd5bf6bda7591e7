// Fuzz target: a sound file's bytes loaded as a source and rendered for a few refills, looping.
#include "sound/ogg_data.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TOggData source(0x28000);
    if (!source.LoadFromStream(TMemoryStream(std::vector<uint8_t>(data, data + size)))) return 0;
    source.Play(true);
    for (int i = 0; i < 6 && source.GetStatus() >= 2; ++i) source.Render();
    return 0;
}
