// Fuzz target: the settings file orva.conf and the text out's target within it.
#include <string_view>

#include "app/orva_conf.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> warnings;
    ParseOrvaConf(std::string_view(reinterpret_cast<const char*>(data), size), "/c/orva/orva.conf", "/home/p", warnings);
    return 0;
}
