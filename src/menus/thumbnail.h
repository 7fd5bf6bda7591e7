// Save thumbnails: the 96×72 picture of a saved scene, kept as a 32-bit Windows bitmap file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/abitmap.h"

namespace orva {

inline constexpr int kThumbWidth = 96, kThumbHeight = 72;

// The thumbnail of an 800×600 scene: a black 96×72 picture onto which the scene is scaled.
TABitmap MakeThumbnail(const TABitmap& scene);
// The thumbnail file's bytes.
std::vector<uint8_t> EncodeThumbnail(const TABitmap& thumb);
// A thumbnail file read back, opaque. False for a damaged file or one of another size; out is
// then left as it was.
bool DecodeThumbnail(std::span<const uint8_t> bytes, TABitmap& out);

}  // namespace orva
