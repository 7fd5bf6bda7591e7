// Writing a picture as an 8-bit PNG: opaque RGB (screen captures), or RGBA with alpha =
// 255 − transparency byte (game pictures made by tools and tests).
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/abitmap.h"

namespace orva {

// Deterministic bytes for the same picture. False when libpng fails.
bool EncodePng(const TABitmap& picture, std::vector<uint8_t>& out, bool withAlpha = false);

}  // namespace orva
