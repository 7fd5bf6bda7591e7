// Writing a picture with its transparency as an 8-bit RGBA PNG (alpha = 255 − transparency),
// for the pictures the engine loads into its masked slots.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/abitmap.h"

namespace orva::demo {

// Deterministic bytes for the same picture. False when libpng fails.
bool EncodePngRgba(const TABitmap& picture, std::vector<uint8_t>& out);

}  // namespace orva::demo
