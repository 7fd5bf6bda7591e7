// Fuzz target: the PNG decoder.
#include "graphics/png_load.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TABitmap picture;
    bool hasAlpha = false;
    std::string error;
    DecodePng({data, size}, picture, hasAlpha, error);
    return 0;
}
