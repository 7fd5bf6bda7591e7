// The movie library's operations on movies encoded in the test, and its binding.
#include "graphics/theora_lib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/abitmap.h"
#include "graphics/theora_fixture.h"

namespace orva {
namespace {

using test::EncodeTestMovie;
using test::FrameMarkY;
using test::TestMovieSpec;

int32_t ReadBytes(void* stream, void* buffer, int64_t position, int32_t count) {
    auto& bytes = *static_cast<std::vector<uint8_t>*>(stream);
    if (position < 0 || size_t(position) >= bytes.size()) return 0;
    const size_t n = std::min(size_t(count), bytes.size() - size_t(position));
    std::memcpy(buffer, bytes.data() + position, n);
    return int32_t(n);
}
int64_t SizeOf(void* stream) { return int64_t(static_cast<std::vector<uint8_t>*>(stream)->size()); }
uint8_t* RowOf(void* picture, int32_t row) { return static_cast<TABitmap*>(picture)->Row(row); }
void Resize(void* picture, int32_t w, int32_t h) { static_cast<TABitmap*>(picture)->SetSize32(w, h); }

// Studio-range grey level as the library shows it.
int GreyOf(int y) { return std::clamp((298 * (y - 16) + 128) >> 8, 0, 255); }

// One loaded movie with both decoders.
struct LoadedMovie {
    std::vector<uint8_t> Bytes;
    TABitmap Picture{8, 8};
    uint32_t M = theoralib_m_create(), W = theoralib_w_create();
    explicit LoadedMovie(std::vector<uint8_t> bytes, bool upright = true) : Bytes(std::move(bytes)) {
        theoralib_m_setvrevers(M, upright ? 1 : 0);
        theoralib_m_load(M, &Bytes, ReadBytes, SizeOf, &Picture, RowOf, Resize, 0);
        theoralib_w_load(W, &Bytes, ReadBytes, SizeOf);
    }
    ~LoadedMovie() {
        theoralib_m_free(M);
        theoralib_w_free(W);
    }
    // Blue, green, red of a pixel.
    std::array<int, 3> Pixel(int x, int y) const {
        const uint8_t* p = Picture.Row(y) + 4 * x;
        return {p[0], p[1], p[2]};
    }
    int MarkOfShownFrame() const { return Pixel(3, 3)[1]; }
};

void ExpectNear(std::array<int, 3> got, int grey, int tolerance, const char* where) {
    for (int c : got) EXPECT_NEAR(c, grey, tolerance) << where;
}

TEST(TheoraLib, DecodesThePictureTrackWithItsPropertiesAndPixels) {
    LoadedMovie movie(EncodeTestMovie({}));
    EXPECT_EQ(theoralib_m_exists(movie.M), 1);
    EXPECT_EQ(theoralib_m_totalframe(movie.M), 10);
    EXPECT_EQ(theoralib_m_totaltime(movie.M), 833);  // 10 frames at 12 per second
    EXPECT_EQ(theoralib_m_nowframe(movie.M), -1);
    // The frame rate is read as the 32-bit fields at bytes 24 and 28 of the record.
    const auto* raw = reinterpret_cast<const uint8_t*>(theoralib_m_info(movie.M));
    int32_t num = 0, den = 0;
    std::memcpy(&num, raw + 24, 4);
    std::memcpy(&den, raw + 28, 4);
    EXPECT_EQ(num, 12);
    EXPECT_EQ(den, 1);
    EXPECT_NE(std::string(theoralib_m_comment(movie.M)).find("TITLE=test movie"), std::string::npos);

    // The picture takes the shown size, not the coded frame's 48×32.
    ASSERT_EQ(movie.Picture.Width(), 40);
    ASSERT_EQ(movie.Picture.Height(), 24);

    theoralib_m_decodeframe(movie.M, 3);
    EXPECT_EQ(theoralib_m_nowframe(movie.M), 3);
    // Upright: white on top, black below, the frame's marker in the top-left columns; the coded
    // frame's border colour (a strong green) shows nowhere.
    ExpectNear(movie.Pixel(30, 2), 255, 6, "top");
    ExpectNear(movie.Pixel(30, 21), 0, 6, "bottom");
    ExpectNear(movie.Pixel(39, 0), 255, 10, "top-right corner");
    ExpectNear(movie.Pixel(0, 23), 0, 10, "bottom-left corner");
    ExpectNear(movie.Pixel(3, 3), GreyOf(FrameMarkY(3)), 6, "marker");
    EXPECT_EQ(movie.Picture.Row(5)[4 * 20 + 3], 0) << "decoded pixels are opaque";
}

TEST(TheoraLib, SeeksBackAndForthAcrossKeyFramesAndHoldsTheLastFrame) {
    LoadedMovie movie(EncodeTestMovie({.Frames = 12, .KeyFrameEvery = 4}));
    for (int frame : {7, 2, 3, 9, 11, 0, 5}) {
        theoralib_m_decodeframe(movie.M, frame);
        EXPECT_NEAR(movie.MarkOfShownFrame(), GreyOf(FrameMarkY(frame)), 6) << "frame " << frame;
        EXPECT_EQ(theoralib_m_nowframe(movie.M), frame);
    }
    // Past the end (the engine asks for frame number = total frames at the end) the last frame stays.
    theoralib_m_decodeframe(movie.M, 12);
    EXPECT_NEAR(movie.MarkOfShownFrame(), GreyOf(FrameMarkY(11)), 6);
    EXPECT_EQ(theoralib_m_nowframe(movie.M), 11);
    theoralib_m_decodeframe(movie.M, -5);
    EXPECT_NEAR(movie.MarkOfShownFrame(), GreyOf(FrameMarkY(0)), 6);
    EXPECT_EQ(theoralib_m_nowframe(movie.M), 0);
}

TEST(TheoraLib, WritesRowsBottomUpUnlessAskedForUpright) {
    LoadedMovie movie(EncodeTestMovie({.Sound = false}), false);
    theoralib_m_decodeframe(movie.M, 0);
    ExpectNear(movie.Pixel(30, 0), 0, 6, "row 0 holds the movie's bottom");
    ExpectNear(movie.Pixel(30, 23), 255, 6, "the last row its top");
    // The decode mode (post-processing level) changes no flat area.
    theoralib_m_setdecodemode(movie.M, 99);
    theoralib_m_decodeframe(movie.M, 1);
    ExpectNear(movie.Pixel(30, 23), 255, 6, "with post-processing");
}

TEST(TheoraLib, DecodesTheSoundTrackIntoStereoSamples) {
    LoadedMovie movie(EncodeTestMovie({.SoundRate = 22050, .SoundChannels = 1, .SoundFrames = 11025}));
    ASSERT_EQ(theoralib_w_exists(movie.W), 1);
    const int32_t n = theoralib_w_totalsample(movie.W);
    EXPECT_EQ(n, 11025);
    EXPECT_EQ(theoralib_w_totaltime(movie.W), 500);
    const auto* raw = reinterpret_cast<const uint8_t*>(theoralib_w_info(movie.W));
    int32_t rate = 0;
    std::memcpy(&rate, raw + 8, 4);
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(int32_t(theoralib_w_info(movie.W)->Channels), 1);  // a copy: the record is packed

    // Two frames more than the track: they come out silent.
    std::vector<int16_t> pcm(size_t(n + 2) * 2, 1234);
    theoralib_w_decodesample(movie.W, pcm.data(), 0, n + 2);
    EXPECT_EQ(theoralib_w_nowsample(movie.W), n);
    int peak = 0;
    for (int32_t i = 0; i < n; ++i) {
        EXPECT_EQ(pcm[size_t(2 * i)], pcm[size_t(2 * i + 1)]) << "mono is doubled, frame " << i;
        peak = std::max(peak, std::abs(int(pcm[size_t(2 * i)])));
    }
    EXPECT_NEAR(peak, 16384, 2500);  // a sine of half amplitude
    EXPECT_EQ(pcm[size_t(2 * n)], 0);
    EXPECT_EQ(pcm[size_t(2 * n + 3)], 0);

    // A window from the middle matches the same frames of the whole.
    std::vector<int16_t> part(200);
    theoralib_w_decodesample(movie.W, part.data(), 5000, 100);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), pcm.begin() + 10000));
    EXPECT_EQ(theoralib_w_nowsample(movie.W), 5100);
}

TEST(TheoraLib, StreamsWithoutATrackOrWithBadBytesLeaveTheHandleEmpty) {
    LoadedMovie soundOnly(EncodeTestMovie({.Video = false}));
    EXPECT_EQ(theoralib_m_exists(soundOnly.M), 0);
    EXPECT_EQ(theoralib_m_totalframe(soundOnly.M), 0);
    EXPECT_EQ(theoralib_w_exists(soundOnly.W), 1);
    EXPECT_EQ(soundOnly.Picture.Width(), 8) << "no video: the picture keeps its size";

    LoadedMovie videoOnly(EncodeTestMovie({.Sound = false}));
    EXPECT_EQ(theoralib_m_exists(videoOnly.M), 1);
    EXPECT_EQ(theoralib_w_exists(videoOnly.W), 0);
    EXPECT_EQ(theoralib_w_totalsample(videoOnly.W), 0);

    // A cut file keeps whatever whole pages it has; garbage and an empty stream give nothing.
    std::vector<uint8_t> cut = EncodeTestMovie({});
    cut.resize(cut.size() / 2);
    LoadedMovie half(cut);
    for (int f = 0; f < 12; ++f) theoralib_m_decodeframe(half.M, f);
    EXPECT_LE(theoralib_m_totalframe(half.M), 10);

    // A picture over 4096 pixels wide is refused before anything is allocated for it.
    LoadedMovie wide(EncodeTestMovie({.PicW = 4104, .PicH = 16, .PicX = 0, .PicY = 0, .Frames = 1, .Sound = false}));
    EXPECT_EQ(theoralib_m_exists(wide.M), 0);
    EXPECT_EQ(wide.Picture.Width(), 8);

    LoadedMovie garbage(std::vector<uint8_t>(5000, 0x4F));
    LoadedMovie empty({});
    for (LoadedMovie* m : {&garbage, &empty}) {
        EXPECT_EQ(theoralib_m_exists(m->M), 0);
        EXPECT_EQ(theoralib_w_exists(m->W), 0);
        theoralib_m_decodeframe(m->M, 0);
        EXPECT_EQ(theoralib_m_nowframe(m->M), -1);
        EXPECT_EQ(int32_t(theoralib_m_info(m->M)->FpsNumerator), 0);
    }

    // Init forgets the movie; freed and unknown handles are ignored.
    theoralib_m_init(videoOnly.M);
    EXPECT_EQ(theoralib_m_exists(videoOnly.M), 0);
    const uint32_t gone = theoralib_m_create();
    theoralib_m_free(gone);
    theoralib_m_decodeframe(gone, 1);
    EXPECT_EQ(theoralib_m_totalframe(gone), 0);
    EXPECT_STREQ(theoralib_w_comment(0), "");
}

TEST(TheoraLibBinding, BindsTheLinkedLibraryAndReportsEachFailurePath) {
    TTheoraLib lib;
    std::string message;
    ASSERT_EQ(lib.Bind(LinkedTheoraLib(), message), TheoraBindResult::Bound);
    EXPECT_EQ(lib.m_decodeframe, &theoralib_m_decodeframe);
    EXPECT_EQ(lib.w_comment, &theoralib_w_comment);
    const uint32_t h = lib.m_create();
    EXPECT_NE(h, 0u);
    lib.m_free(h);

    TheoraLibLoader missing = LinkedTheoraLib();
    missing.File = "theoralib.dll";
    missing.Exists = [](const std::filesystem::path&) { return false; };
    EXPECT_EQ(lib.Bind(missing, message), TheoraBindResult::FileMissing);
    EXPECT_EQ(message, "theoralib:指定されたファイルが見つかりません(" +
                           (std::filesystem::current_path() / "theoralib.dll").string() + ")");
    EXPECT_FALSE(lib.Bound()) << "a failed binding leaves nothing bound";

    TheoraLibLoader broken = LinkedTheoraLib();
    broken.File = "theoralib.dll";
    broken.Load = [](const std::filesystem::path&) { return false; };
    EXPECT_EQ(lib.Bind(broken, message), TheoraBindResult::LoadFailed);
    EXPECT_EQ(message, "theoralib:DLL読み込みに失敗(" + (std::filesystem::current_path() / "theoralib.dll").string() + ")");

    // Any one of the 24 entry points missing fails the binding and names it.
    for (const char* name : kTheoraEntryNames) {
        TheoraLibLoader lacking = LinkedTheoraLib();
        const auto linked = lacking.Resolve;
        lacking.Resolve = [&](std::string_view n) { return n == name ? nullptr : linked(n); };
        EXPECT_EQ(lib.Bind(lacking, message), TheoraBindResult::EntryMissing) << name;
        EXPECT_EQ(message, std::string("関数(") + name + ")の所得に失敗しました");
        EXPECT_FALSE(lib.Bound());
    }
}

}  // namespace
}  // namespace orva
