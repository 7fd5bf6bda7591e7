// The PNG decoder over libpng. libpng reports errors by longjmp to a setjmp in the small
// functions below, which hold no C++ objects that need destroying.
#include "graphics/png_load.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace orva {
namespace {

bool SizeAllowed(uint32_t w, uint32_t h) {
    return w > 0 && h > 0 && w <= static_cast<uint32_t>(kPngMaxSide) && h <= static_cast<uint32_t>(kPngMaxSide);
}
std::string SizeError(uint32_t w, uint32_t h) {
    return "PNG: picture size " + std::to_string(w) + "x" + std::to_string(h) + " out of range (1 to " +
           std::to_string(kPngMaxSide) + ")";
}

struct TPngReader {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    const uint8_t* Data = nullptr;  // the file's bytes
    size_t Size = 0;
    size_t Pos = 0;                 // next byte to hand to libpng
    char Error[200] = {};           // libpng's message of the failure

    ~TPngReader() {
        if (Png) png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr);
    }
};

void OnError(png_structp png, png_const_charp message) {
    auto* reader = static_cast<TPngReader*>(png_get_error_ptr(png));
    std::snprintf(reader->Error, sizeof reader->Error, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}  // ancillary damage is skipped quietly

void OnRead(png_structp png, png_bytep data, png_size_t length) {
    auto* reader = static_cast<TPngReader*>(png_get_io_ptr(png));
    if (length > reader->Size - reader->Pos) png_error(png, "file ends early");
    std::memcpy(data, reader->Data + reader->Pos, length);
    reader->Pos += length;
}

// Header and transforms to 8-bit BGRA with the transparency byte inverted (or 0).
bool ReadHeader(TPngReader& r, uint32_t& width, uint32_t& height, bool& hasAlpha) {
    if (setjmp(png_jmpbuf(r.Png))) return false;
    png_set_read_fn(r.Png, &r, OnRead);
    png_read_info(r.Png, r.Info);
    width = png_get_image_width(r.Png, r.Info);
    height = png_get_image_height(r.Png, r.Info);
    if (!SizeAllowed(width, height)) return true;  // the caller rejects the size before anything is allocated
    const int colourType = png_get_color_type(r.Png, r.Info);
    hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(r.Png, r.Info, PNG_INFO_tRNS) != 0;
    png_set_expand(r.Png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_strip_16(r.Png);
    if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(r.Png);
    png_set_bgr(r.Png);
    if (hasAlpha)
        png_set_invert_alpha(r.Png);
    else
        png_set_filler(r.Png, 0, PNG_FILLER_AFTER);  // opaque pictures get transparency 0
    png_set_interlace_handling(r.Png);
    png_read_update_info(r.Png, r.Info);
    if (png_get_rowbytes(r.Png, r.Info) != static_cast<size_t>(width) * 4) png_error(r.Png, "unexpected row layout");
    return true;
}

bool ReadRows(TPngReader& r, png_bytepp rows) {
    if (setjmp(png_jmpbuf(r.Png))) return false;
    png_read_image(r.Png, rows);
    png_read_end(r.Png, nullptr);
    return true;
}

}  // namespace

bool DecodePng(std::span<const uint8_t> bytes, TABitmap& out, bool& hasAlpha, std::string& error) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = "PNG: Not PNG Format";
        return false;
    }
    // The size is checked from the header chunk first, so an oversized picture is refused
    // before libpng reads (or allocates for) anything more.
    if (bytes.size() >= 24 && std::memcmp(bytes.data() + 12, "IHDR", 4) == 0) {
        auto be32 = [&](size_t at) {
            return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
        };
        if (const uint32_t w = be32(16), h = be32(20); !SizeAllowed(w, h)) {
            error = SizeError(w, h);
            return false;
        }
    }
    TPngReader r;
    r.Data = bytes.data();
    r.Size = bytes.size();
    r.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, OnError, OnWarning);
    if (r.Png) r.Info = png_create_info_struct(r.Png);
    if (!r.Png || !r.Info) {
        error = "PNG: out of memory";
        return false;
    }
    uint32_t width = 0, height = 0;
    bool alpha = false;
    if (!ReadHeader(r, width, height, alpha)) {
        error = std::string("PNG: ") + r.Error;
        return false;
    }
    if (!SizeAllowed(width, height)) {
        error = SizeError(width, height);
        return false;
    }
    TABitmap picture(static_cast<int>(width), static_cast<int>(height));
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y) rows[y] = picture.Row(static_cast<int>(y));
    if (!ReadRows(r, rows.data())) {
        error = std::string("PNG: ") + r.Error;
        return false;
    }
    out = std::move(picture);
    hasAlpha = alpha;
    error.clear();
    return true;
}

}  // namespace orva
