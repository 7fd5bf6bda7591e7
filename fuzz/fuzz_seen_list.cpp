// Fuzz target: the scrambled seen-pictures file, then a lookup and an addition on what it gave.
#include "data/mitayo.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> list = DecodeMitayoFile({data, size});
    CheckMitayo(list, "BG01");
    AddMitayo(list, "bg01");
    EncodeMitayoFile(list);
    return 0;
}
