// Writing a picture's colour channels as an opaque 8-bit RGB PNG (screen captures, tools).
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/abitmap.h"

namespace orva {

// Deterministic bytes for the same picture. False when libpng fails.
bool EncodePng(const TABitmap& picture, std::vector<uint8_t>& out);

}  // namespace orva
