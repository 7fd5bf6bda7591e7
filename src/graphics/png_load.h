// Decoding a PNG picture from memory into a TABitmap (transparency byte = 255 − alpha).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "graphics/abitmap.h"

namespace orva {

// Largest picture the decoder accepts in either direction.
inline constexpr int kPngMaxSide = 4096;

// Decodes any standard PNG (colour, grey, palette, with or without alpha or tRNS, 1 … 16 bits,
// interlaced) to 8 bits per channel. hasAlpha tells whether the picture carries transparency
// information; without it every transparency byte is 0. On failure (not a PNG, damaged data,
// a zero side or one above kPngMaxSide) returns false, sets error and leaves out unchanged.
bool DecodePng(std::span<const uint8_t> bytes, TABitmap& out, bool& hasAlpha, std::string& error);

}  // namespace orva
