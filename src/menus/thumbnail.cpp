// Save thumbnails.
#include "menus/thumbnail.h"

#include "graphics/bmp_file.h"

namespace orva {

TABitmap MakeThumbnail(const TABitmap& scene) {
    TABitmap thumb(kThumbWidth, kThumbHeight);
    thumb.FillColor(0, 0, 0);
    TABitmap::StretchBilinear(kThumbWidth, kThumbHeight, scene, 0, 0, scene.Width(), scene.Height(), 0, 0, thumb);
    return thumb;
}

std::vector<uint8_t> EncodeThumbnail(const TABitmap& thumb) { return EncodeBmp32(thumb); }

bool DecodeThumbnail(std::span<const uint8_t> bytes, TABitmap& out) {
    TABitmap read;
    if (!DecodeBmp32(bytes, read) || read.Width() != kThumbWidth || read.Height() != kThumbHeight) return false;
    // The menu draws thumbnails opaque, whatever the file's fourth bytes hold.
    uint32_t* px = read.Pixels();
    for (size_t i = 0; i < static_cast<size_t>(kThumbWidth) * kThumbHeight; ++i) px[i] &= 0x00FFFFFFu;
    out = std::move(read);
    return true;
}

}  // namespace orva
