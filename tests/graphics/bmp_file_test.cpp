// The thumbnail bitmap file: exact bytes, round trip, and refusal of damaged files.
#include "graphics/bmp_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace orva {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

TEST(BmpFile, ThumbnailBytesAndRoundTrip) {
    std::mt19937 rng(4);
    TABitmap thumb(96, 72);
    for (int i = 0; i < 96 * 72; ++i) thumb.Pixels()[i] = rng();  // any fourth byte is kept
    const std::vector<uint8_t> file = EncodeBmp32(thumb);
    ASSERT_EQ(file.size(), 54u + 96 * 72 * 4);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Le32(file, 2), file.size());
    EXPECT_EQ(Le32(file, 10), 54u);
    EXPECT_EQ(Le32(file, 14), 40u);
    EXPECT_EQ(Le32(file, 18), 96u);
    EXPECT_EQ(Le32(file, 22), 72u);  // positive: bottom-up
    EXPECT_EQ(file[26] | file[27] << 8, 1);
    EXPECT_EQ(file[28] | file[29] << 8, 32);
    EXPECT_EQ(Le32(file, 30), 0u);  // BI_RGB
    EXPECT_EQ(Le32(file, 34), 96u * 72 * 4);
    // The first stored row is the picture's bottom row.
    EXPECT_EQ(Le32(file, 54), thumb.Pixels()[71 * 96]);
    EXPECT_EQ(Le32(file, file.size() - 4), thumb.Pixels()[95]);

    TABitmap back;
    ASSERT_TRUE(DecodeBmp32(file, back));
    ASSERT_EQ(back.Width(), 96);
    ASSERT_EQ(back.Height(), 72);
    EXPECT_EQ(std::memcmp(back.Pixels(), thumb.Pixels(), 96 * 72 * 4), 0);

    // Top-down files (negative height) read the right way up.
    std::vector<uint8_t> topDown = EncodeBmp32(thumb);
    const int32_t negative = -72;
    std::memcpy(topDown.data() + 22, &negative, 4);
    ASSERT_TRUE(DecodeBmp32(topDown, back));
    EXPECT_EQ(back.Pixels()[0], thumb.Pixels()[71 * 96]);
    EXPECT_TRUE(EncodeBmp32(TABitmap()).empty());
}

TEST(BmpFile, DamagedFilesAreRefusedAndLeaveThePictureAlone) {
    TABitmap thumb(8, 6);
    thumb.FillColor(10, 20, 30);
    const std::vector<uint8_t> good = EncodeBmp32(thumb);
    TABitmap keep(3, 3);
    keep.FillColor(1, 1, 1);
    auto refused = [&](std::vector<uint8_t> bytes, const char* what) {
        EXPECT_FALSE(DecodeBmp32(bytes, keep)) << what;
        EXPECT_EQ(keep.Width(), 3) << what;
        EXPECT_EQ(keep.Pixels()[0], 0x00010101u) << what;
    };
    auto patched = [&](size_t at, std::vector<uint8_t> value) {
        std::vector<uint8_t> b = good;
        std::copy(value.begin(), value.end(), b.begin() + at);
        return b;
    };
    refused({}, "empty");
    refused(std::vector<uint8_t>(good.begin(), good.begin() + 53), "headers cut");
    refused(std::vector<uint8_t>(good.begin(), good.end() - 1), "last row short");
    refused(patched(0, {'B', 'A'}), "signature");
    refused(patched(28, {24, 0}), "24 bits");
    refused(patched(30, {1, 0, 0, 0}), "run-length compressed");
    refused(patched(18, {0, 0, 0, 0}), "zero width");
    refused(patched(18, {0, 0x10, 0, 0}), "4096+ wide claims more rows than stored");
    refused(patched(18, {0xFF, 0xFF, 0xFF, 0x7F}), "huge width");
    refused(patched(22, {0, 0, 0, 0x80}), "most negative height");
    refused(patched(10, {0xF0, 0xFF, 0xFF, 0xFF}), "pixel offset past the end");
    refused(patched(10, {10, 0, 0, 0}), "pixel offset inside the headers");
    // Extra bytes after the rows are harmless.
    std::vector<uint8_t> longer = good;
    longer.resize(good.size() + 10);
    EXPECT_TRUE(DecodeBmp32(longer, keep));
    EXPECT_EQ(keep.Width(), 8);
}

}  // namespace
}  // namespace orva
