// PNG decoding of every colour type the game's pictures may use, its refusals, and the writer.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/png_load.h"
#include "graphics/png_write.h"

namespace orva {
namespace {

// A PNG made with libpng's writer: rows given in the file's own sample layout.
struct TPngSpec {
    int Width = 0, Height = 0;
    int ColourType = PNG_COLOR_TYPE_RGB;
    int BitDepth = 8;
    bool Interlaced = false;
    std::vector<png_color> Palette;
    std::vector<uint8_t> Trns;          // palette alpha entries
    bool GreyKey = false;               // tRNS single grey value
    uint16_t GreyKeyValue = 0;
    std::vector<std::vector<uint8_t>> Rows;
};

TPngSpec Spec(int width, int height, int colourType, int bitDepth = 8) {
    TPngSpec spec;
    spec.Width = width;
    spec.Height = height;
    spec.ColourType = colourType;
    spec.BitDepth = bitDepth;
    return spec;
}

void Append(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

std::vector<uint8_t> WritePng(const TPngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test picture";
        return {};
    }
    png_set_write_fn(png, &out, Append, nullptr);
    png_set_IHDR(png, info, spec.Width, spec.Height, spec.BitDepth, spec.ColourType,
                 spec.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec.Palette.empty()) png_set_PLTE(png, info, spec.Palette.data(), static_cast<int>(spec.Palette.size()));
    if (!spec.Trns.empty()) png_set_tRNS(png, info, spec.Trns.data(), static_cast<int>(spec.Trns.size()), nullptr);
    if (spec.GreyKey) {
        png_color_16 key{};
        key.gray = spec.GreyKeyValue;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& r : spec.Rows) rows.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

uint32_t Px(uint8_t r, uint8_t g, uint8_t b, uint8_t t) {
    return uint32_t{b} | uint32_t{g} << 8 | uint32_t{r} << 16 | uint32_t{t} << 24;
}

struct TDecoded {
    bool Ok = false;
    bool HasAlpha = false;
    std::string Error;
    TABitmap Picture;
};

TDecoded Decode(const std::vector<uint8_t>& bytes) {
    TDecoded d;
    d.Ok = DecodePng(bytes, d.Picture, d.HasAlpha, d.Error);
    return d;
}

TEST(DecodePng, ColourTypesGiveBgraWithInvertedAlpha) {
    // RGB: no transparency information, transparency byte 0.
    TPngSpec rgb = Spec(3, 2, PNG_COLOR_TYPE_RGB);
    rgb.Rows = {{10, 20, 30, 40, 50, 60, 255, 0, 128}, {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    TDecoded d = Decode(WritePng(rgb));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_FALSE(d.HasAlpha);
    ASSERT_EQ(d.Picture.Width(), 3);
    ASSERT_EQ(d.Picture.Height(), 2);
    EXPECT_EQ(d.Picture.Pixels()[0], Px(10, 20, 30, 0));
    EXPECT_EQ(d.Picture.Pixels()[2], Px(255, 0, 128, 0));
    EXPECT_EQ(d.Picture.Pixels()[5], Px(7, 8, 9, 0));

    // RGBA: transparency = 255 − alpha.
    TPngSpec rgba = Spec(2, 1, PNG_COLOR_TYPE_RGBA);
    rgba.Rows = {{10, 20, 30, 255, 40, 50, 60, 64}};
    d = Decode(WritePng(rgba));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_TRUE(d.HasAlpha);
    EXPECT_EQ(d.Picture.Pixels()[0], Px(10, 20, 30, 0));
    EXPECT_EQ(d.Picture.Pixels()[1], Px(40, 50, 60, 191));

    // Grey and grey + alpha.
    TPngSpec grey = Spec(2, 1, PNG_COLOR_TYPE_GRAY);
    grey.Rows = {{0, 200}};
    d = Decode(WritePng(grey));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_FALSE(d.HasAlpha);
    EXPECT_EQ(d.Picture.Pixels()[1], Px(200, 200, 200, 0));
    TPngSpec greyAlpha = Spec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA);
    greyAlpha.Rows = {{90, 0, 91, 250}};
    d = Decode(WritePng(greyAlpha));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_TRUE(d.HasAlpha);
    EXPECT_EQ(d.Picture.Pixels()[0], Px(90, 90, 90, 255));
    EXPECT_EQ(d.Picture.Pixels()[1], Px(91, 91, 91, 5));

    // 1-bit grey expands to 0 / 255.
    TPngSpec bits = Spec(9, 1, PNG_COLOR_TYPE_GRAY, 1);
    bits.Rows = {{0xA0, 0x80}};
    d = Decode(WritePng(bits));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_EQ(d.Picture.Pixels()[0], Px(255, 255, 255, 0));
    EXPECT_EQ(d.Picture.Pixels()[1], Px(0, 0, 0, 0));
    EXPECT_EQ(d.Picture.Pixels()[8], Px(255, 255, 255, 0));

    // 16-bit samples keep their high byte.
    TPngSpec deep = Spec(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16);
    deep.Rows = {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF, 0x40, 0x01}};
    d = Decode(WritePng(deep));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_EQ(d.Picture.Pixels()[0], Px(0x12, 0xAB, 0xFF, 255 - 0x40));
}

TEST(DecodePng, PaletteTransparencyAndGreyKeyCountAsAlpha) {
    TPngSpec pal = Spec(4, 1, PNG_COLOR_TYPE_PALETTE);
    pal.Palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    pal.Rows = {{0, 1, 2, 3}};
    TDecoded d = Decode(WritePng(pal));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_FALSE(d.HasAlpha);
    EXPECT_EQ(d.Picture.Pixels()[3], Px(9, 8, 7, 0));

    pal.Trns = {0, 128};  // entries past the list stay opaque
    d = Decode(WritePng(pal));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_TRUE(d.HasAlpha);
    EXPECT_EQ(d.Picture.Pixels()[0], Px(255, 0, 0, 255));
    EXPECT_EQ(d.Picture.Pixels()[1], Px(0, 255, 0, 127));
    EXPECT_EQ(d.Picture.Pixels()[2], Px(0, 0, 255, 0));

    TPngSpec keyed = Spec(2, 1, PNG_COLOR_TYPE_GRAY);
    keyed.GreyKey = true;
    keyed.GreyKeyValue = 7;
    keyed.Rows = {{7, 8}};
    d = Decode(WritePng(keyed));
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_TRUE(d.HasAlpha);
    EXPECT_EQ(d.Picture.Pixels()[0] >> 24, 255u);
    EXPECT_EQ(d.Picture.Pixels()[1], Px(8, 8, 8, 0));
}

TEST(DecodePng, InterlacedGivesTheSamePictureAsProgressive) {
    std::mt19937 rng(1);
    TPngSpec spec = Spec(13, 11, PNG_COLOR_TYPE_RGBA);
    for (int y = 0; y < spec.Height; ++y) {
        std::vector<uint8_t> row(spec.Width * 4);
        for (auto& b : row) b = static_cast<uint8_t>(rng());
        spec.Rows.push_back(row);
    }
    TDecoded plain = Decode(WritePng(spec));
    spec.Interlaced = true;
    TDecoded laced = Decode(WritePng(spec));
    ASSERT_TRUE(plain.Ok && laced.Ok) << plain.Error << laced.Error;
    ASSERT_EQ(std::memcmp(plain.Picture.Pixels(), laced.Picture.Pixels(), 13 * 11 * 4), 0);
    const uint8_t* src = spec.Rows[10].data() + 12 * 4;
    EXPECT_EQ(laced.Picture.Pixels()[10 * 13 + 12], Px(src[0], src[1], src[2], 255 - src[3]));
}

// A PNG chunk with a correct CRC, for hand-made headers.
void AddChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(n >> s));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uint32_t crc = static_cast<uint32_t>(crc32(0, out.data() + typeAt, static_cast<uInt>(4 + n)));
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(crc >> s));
}

std::vector<uint8_t> HeaderOnly(uint32_t w, uint32_t h) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    for (uint32_t v : {w, h})
        for (int s = 24; s >= 0; s -= 8) ihdr.push_back(static_cast<uint8_t>(v >> s));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    AddChunk(out, "IHDR", ihdr);
    return out;
}

TEST(DecodePng, BadFilesFailCleanlyAndLeaveThePictureAlone) {
    TPngSpec spec = Spec(40, 30, PNG_COLOR_TYPE_RGB);
    std::mt19937 rng(9);
    for (int y = 0; y < 30; ++y) {
        std::vector<uint8_t> row(120);
        for (auto& b : row) b = static_cast<uint8_t>(rng());
        spec.Rows.push_back(row);
    }
    const std::vector<uint8_t> good = WritePng(spec);
    ASSERT_TRUE(Decode(good).Ok);

    TABitmap keep(2, 2);
    keep.FillColor(1, 2, 3);
    auto rejects = [&](const std::vector<uint8_t>& bytes, const char* what) {
        bool hasAlpha = true;
        std::string error;
        EXPECT_FALSE(DecodePng(bytes, keep, hasAlpha, error)) << what;
        EXPECT_FALSE(error.empty()) << what;
        EXPECT_EQ(keep.Width(), 2) << what;
        EXPECT_EQ(keep.Pixels()[3], 0x00010203u) << what;
        return error;
    };
    // Truncated at several places, header to last chunk.
    for (size_t cut : {size_t{0}, size_t{5}, size_t{20}, size_t{40}, good.size() / 2, good.size() - 13, good.size() - 1})
        rejects(std::vector<uint8_t>(good.begin(), good.begin() + cut), "truncated");
    // A flipped byte inside the image data: its CRC no longer matches.
    std::vector<uint8_t> badCrc = good;
    badCrc[good.size() / 2] ^= 0x55;
    rejects(badCrc, "bad CRC");
    // Garbage, and garbage after a valid signature.
    std::vector<uint8_t> garbage(300);
    for (auto& b : garbage) b = static_cast<uint8_t>(rng());
    EXPECT_NE(rejects(garbage, "garbage").find("Not PNG"), std::string::npos);
    std::copy(good.begin(), good.begin() + 8, garbage.begin());
    rejects(garbage, "signature then garbage");
    // Sizes out of range are refused from the header alone.
    EXPECT_NE(rejects(HeaderOnly(5000, 10), "5000x10").find("5000x10"), std::string::npos);
    rejects(HeaderOnly(10, 4097), "10x4097");
    rejects(HeaderOnly(0, 10), "zero width");
    rejects(HeaderOnly(100000, 100000), "100000x100000");
    // A real 5000 × 10 file is refused too.
    TPngSpec wide = Spec(5000, 10, PNG_COLOR_TYPE_GRAY);
    wide.Rows.assign(10, std::vector<uint8_t>(5000, 3));
    rejects(WritePng(wide), "wide file");
    // The largest size allowed still decodes.
    TPngSpec edge = Spec(4096, 1, PNG_COLOR_TYPE_GRAY);
    edge.Rows.assign(1, std::vector<uint8_t>(4096, 3));
    EXPECT_TRUE(Decode(WritePng(edge)).Ok);
}

TEST(EncodePng, WritesOpaqueRgbThatDecodesBackDeterministically) {
    std::mt19937 rng(2);
    TABitmap pic(17, 9);
    for (int i = 0; i < 17 * 9; ++i) pic.Pixels()[i] = rng();
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(EncodePng(pic, a));
    ASSERT_TRUE(EncodePng(pic, b));
    EXPECT_EQ(a, b);
    TDecoded d = Decode(a);
    ASSERT_TRUE(d.Ok) << d.Error;
    EXPECT_FALSE(d.HasAlpha);
    for (int i = 0; i < 17 * 9; ++i) ASSERT_EQ(d.Picture.Pixels()[i], pic.Pixels()[i] & 0x00FFFFFFu) << i;
    TABitmap empty;
    EXPECT_FALSE(EncodePng(empty, a));
    EXPECT_TRUE(a.empty());
}

}  // namespace
}  // namespace orva
