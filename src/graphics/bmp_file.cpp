// Writing and reading the 32-bit Windows bitmap files of the save thumbnails.
#include "graphics/bmp_file.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace orva {
namespace {

constexpr uint32_t kHeadersSize = sizeof(BmpFileHeader) + sizeof(BmpInfoHeader);
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;

// Integers in the file are little-endian, as on the machines the engine runs on.
static_assert(std::endian::native == std::endian::little);

}  // namespace

std::vector<uint8_t> EncodeBmp32(const TABitmap& picture) {
    if (!picture.IsReady() || picture.Height() <= 0) return {};
    const uint32_t imageSize = static_cast<uint32_t>(picture.RowBytes() * picture.Height());
    BmpFileHeader file{};
    file.Type = 0x4D42;  // "BM"
    file.FileSize = kHeadersSize + imageSize;
    file.PixelsAt = kHeadersSize;
    BmpInfoHeader info{};
    info.HeaderSize = sizeof(BmpInfoHeader);
    info.Width = picture.Width();
    info.Height = picture.Height();
    info.Planes = 1;
    info.BitCount = 32;
    info.Compression = kBiRgb;
    info.ImageSize = imageSize;
    std::vector<uint8_t> bytes(file.FileSize);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(bytes.data() + kHeadersSize + static_cast<size_t>(picture.Height() - 1 - y) * picture.RowBytes(),
                    picture.Row(y), picture.RowBytes());
    return bytes;
}

bool DecodeBmp32(std::span<const uint8_t> bytes, TABitmap& out) {
    if (bytes.size() < kHeadersSize) return false;
    BmpFileHeader file;
    BmpInfoHeader info;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    if (file.Type != 0x4D42 || info.HeaderSize < sizeof(BmpInfoHeader) || info.Planes != 1 || info.BitCount != 32)
        return false;
    if (info.Compression == kBiBitfields) {
        // Accepted only with the masks that mean plain B, G, R bytes.
        // The masks follow the 40-byte header (or sit at the same place inside a longer one).
        const size_t masksAt = sizeof file + sizeof info;
        if (bytes.size() < masksAt + 12) return false;
        uint32_t masks[3];
        std::memcpy(masks, bytes.data() + masksAt, sizeof masks);
        if (masks[0] != 0x00FF0000u || masks[1] != 0x0000FF00u || masks[2] != 0x000000FFu) return false;
    } else if (info.Compression != kBiRgb) {
        return false;
    }
    const bool topDown = info.Height < 0;
    const int64_t width = info.Width, height = topDown ? -int64_t{info.Height} : info.Height;
    if (width <= 0 || height <= 0 || width > kBmpMaxSide || height > kBmpMaxSide) return false;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (file.PixelsAt < sizeof file + info.HeaderSize || file.PixelsAt > bytes.size() ||
        bytes.size() - file.PixelsAt < rowBytes * static_cast<size_t>(height))
        return false;
    TABitmap picture(static_cast<int>(width), static_cast<int>(height));
    const uint8_t* pixels = bytes.data() + file.PixelsAt;
    for (int64_t y = 0; y < height; ++y) {
        const int64_t stored = topDown ? y : height - 1 - y;
        std::memcpy(picture.Row(static_cast<int>(y)), pixels + static_cast<size_t>(stored) * rowBytes, rowBytes);
    }
    out = std::move(picture);
    return true;
}

}  // namespace orva
