// The thumbnail file: a 32-bit uncompressed Windows bitmap (file header, info header, rows
// bottom-up), the fourth byte of each pixel kept as stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/abitmap.h"

namespace orva {

#pragma pack(push, 1)
// BITMAPFILEHEADER.
struct BmpFileHeader {
    uint16_t Type;       // "BM"
    uint32_t FileSize;   // bytes of the whole file
    uint16_t Reserved1;  // 0
    uint16_t Reserved2;  // 0
    uint32_t PixelsAt;   // offset of the first pixel row
};
// BITMAPINFOHEADER.
struct BmpInfoHeader {
    uint32_t HeaderSize;     // 40
    int32_t Width;           // pixels
    int32_t Height;          // pixels; positive = rows bottom-up, negative = top-down
    uint16_t Planes;         // 1
    uint16_t BitCount;       // 32
    uint32_t Compression;    // 0 = BI_RGB (3 = BI_BITFIELDS read with the standard masks)
    uint32_t ImageSize;      // bytes of pixel data
    int32_t XPelsPerMeter;   // 0
    int32_t YPelsPerMeter;   // 0
    uint32_t ColoursUsed;    // 0
    uint32_t ColoursImportant;  // 0
};
#pragma pack(pop)
static_assert(offsetof(BmpFileHeader, Type) == 0);
static_assert(offsetof(BmpFileHeader, FileSize) == 2);
static_assert(offsetof(BmpFileHeader, Reserved1) == 6);
static_assert(offsetof(BmpFileHeader, Reserved2) == 8);
static_assert(offsetof(BmpFileHeader, PixelsAt) == 10);
static_assert(sizeof(BmpFileHeader) == 14);
static_assert(offsetof(BmpInfoHeader, HeaderSize) == 0);
static_assert(offsetof(BmpInfoHeader, Width) == 4);
static_assert(offsetof(BmpInfoHeader, Height) == 8);
static_assert(offsetof(BmpInfoHeader, Planes) == 12);
static_assert(offsetof(BmpInfoHeader, BitCount) == 14);
static_assert(offsetof(BmpInfoHeader, Compression) == 16);
static_assert(offsetof(BmpInfoHeader, ImageSize) == 20);
static_assert(offsetof(BmpInfoHeader, XPelsPerMeter) == 24);
static_assert(offsetof(BmpInfoHeader, YPelsPerMeter) == 28);
static_assert(offsetof(BmpInfoHeader, ColoursUsed) == 32);
static_assert(offsetof(BmpInfoHeader, ColoursImportant) == 36);
static_assert(sizeof(BmpInfoHeader) == 40);

// Largest side DecodeBmp32 accepts.
inline constexpr int kBmpMaxSide = 4096;

// The file's bytes: 54-byte headers then Height rows of Width × 4 bytes, bottom row first.
// An empty picture gives an empty vector.
std::vector<uint8_t> EncodeBmp32(const TABitmap& picture);

// Reads a 32-bit uncompressed bitmap file. A damaged file (bad signature or headers, other pixel
// formats, sizes out of range, fewer bytes than the rows need) returns false and leaves out as it was.
bool DecodeBmp32(std::span<const uint8_t> bytes, TABitmap& out);

}  // namespace orva
