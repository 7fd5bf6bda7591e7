// Fuzz target: the 32-bit thumbnail bitmap reader.
#include "graphics/bmp_file.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TABitmap picture;
    DecodeBmp32({data, size}, picture);
    return 0;
}
