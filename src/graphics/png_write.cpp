// The PNG writer over libpng, into memory.
#include "graphics/png_write.h"

#include <png.h>

#include <csetjmp>

namespace orva {
namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

}  // namespace

bool EncodePng(const TABitmap& picture, std::vector<uint8_t>& out, bool withAlpha) {
    out.clear();
    if (!picture.IsReady() || picture.Height() <= 0) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    const int channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> row(static_cast<size_t>(picture.Width()) * channels);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return false;
    }
    png_set_write_fn(png, &out, WriteToVector, NoFlush);
    png_set_IHDR(png, info, picture.Width(), picture.Height(), 8, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* s = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x) {
            uint8_t* o = &row[static_cast<size_t>(x) * channels];
            o[0] = s[x * 4 + 2];
            o[1] = s[x * 4 + 1];
            o[2] = s[x * 4 + 0];
            if (withAlpha) o[3] = static_cast<uint8_t>(255 - s[x * 4 + 3]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace orva
