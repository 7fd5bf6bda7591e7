// Pixel operation benchmarks: each of TABitmap's operations on the screen's picture sizes, run
// beside peers on the same pixels in the same process (memcpy of the same bytes, pixman, SDL's
// blitter, libpng's bare decode). Names are "Operation/Size/implementation".
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <png.h>

#include <array>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/abitmap.h"
#include "graphics/png_load.h"
#include "graphics/scene_compose.h"
#include "bench_main.h"
#include "platform/screen_layout.h"

namespace {

using orva::bench::MemcpyPeer;
using orva::TABitmap;
using orva::kMsgWindowHeight;
using orva::kMsgWindowTop;
using orva::kScreenHeight;
using orva::kScreenWidth;

// A character-like picture: an opaque body, a soft edge and an invisible surround, with noise
// in the colours (T = 0 opaque, 255 invisible).
TABitmap MakeLayer(int w, int h, uint32_t seed) {
    TABitmap b(w, h);
    std::mt19937 rng(seed);
    const double cx = w / 2.0, cy = h / 2.0, rx = w * 0.35, ry = h * 0.45;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot((x - cx) / rx, (y - cy) / ry);
            const int t = d < 0.95 ? 0 : d > 1.05 ? 255 : static_cast<int>((d - 0.95) * 10 * 255);
            b.Pixels()[y * w + x] = (rng() & 0x00FFFFFFu) | uint32_t(t) << 24;
        }
    return b;
}

TABitmap MakeScene(int w, int h, uint32_t seed) {
    TABitmap b(w, h);
    std::mt19937 rng(seed);
    for (int i = 0; i < w * h; ++i) b.Pixels()[i] = rng() & 0x00FFFFFFu;
    return b;
}

// pixman and SDL want premultiplied / straight alpha with A = 255 − T.
std::vector<uint32_t> ToPremultiplied(const TABitmap& b) {
    std::vector<uint32_t> out(static_cast<size_t>(b.Width()) * b.Height());
    for (size_t i = 0; i < out.size(); ++i) {
        const uint32_t p = b.Pixels()[i], a = 255 - (p >> 24);
        uint32_t q = a << 24;
        for (int ch = 0; ch < 3; ++ch) q |= ((((p >> (8 * ch)) & 255) * a + 127) / 255) << (8 * ch);
        out[i] = q;
    }
    return out;
}
std::vector<uint32_t> ToStraight(const TABitmap& b) {
    std::vector<uint32_t> out(static_cast<size_t>(b.Width()) * b.Height());
    for (size_t i = 0; i < out.size(); ++i) out[i] = b.Pixels()[i] ^ 0xFF000000u;
    return out;
}

struct TSize {
    int W, H;
    std::string Name() const { return std::to_string(W) + "x" + std::to_string(H); }
};

// ---- peers ----------------------------------------------------------------------------------


pixman_image_t* PixmanImage(std::vector<uint32_t>& px, int w, int h) {
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, px.data(), w * 4);
}

// OVER of a per-pixel-alpha picture, with an overall opacity through a solid mask when given.
void PixmanOverPeer(benchmark::State& state, TSize size, int opacity) {
    TABitmap layer = MakeLayer(size.W, size.H, 1);
    TABitmap scene = MakeScene(size.W, size.H, 2);
    std::vector<uint32_t> src = ToPremultiplied(layer), dst = ToStraight(scene);
    pixman_image_t* s = PixmanImage(src, size.W, size.H);
    pixman_image_t* d = PixmanImage(dst, size.W, size.H);
    pixman_image_t* m = nullptr;
    if (opacity >= 0) {
        const pixman_color_t c = {0, 0, 0, static_cast<uint16_t>(opacity * 257)};
        m = pixman_image_create_solid_fill(&c);
    }
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, size.W, size.H);
        benchmark::ClobberMemory();
    }
    if (m) pixman_image_unref(m);
    pixman_image_unref(s);
    pixman_image_unref(d);
}

void SdlBlendPeer(benchmark::State& state, TSize size, int opacity) {
    TABitmap layer = MakeLayer(size.W, size.H, 1);
    TABitmap scene = MakeScene(size.W, size.H, 2);
    std::vector<uint32_t> src = ToStraight(layer), dst = ToStraight(scene);
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(src.data(), size.W, size.H, 32, size.W * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* d = SDL_CreateRGBSurfaceWithFormatFrom(dst.data(), size.W, size.H, 32, size.W * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    if (opacity >= 0) SDL_SetSurfaceAlphaMod(s, static_cast<Uint8>(opacity));
    for (auto _ : state) {
        SDL_Rect r{0, 0, size.W, size.H};
        SDL_BlitSurface(s, nullptr, d, &r);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(s);
    SDL_FreeSurface(d);
}

// ---- our operations -------------------------------------------------------------------------

enum class EOp { Alpha, AlphaOpacity, AlphaKeyed, Blend, Add, Compose, Fill };

void Ours(benchmark::State& state, TSize size, EOp op) {
    TABitmap layer = MakeLayer(size.W, size.H, 1);
    TABitmap scene = MakeScene(size.W, size.H, 2);
    TABitmap mask = MakeScene(size.W, size.H, 3), out(size.W, size.H);
    const int w = size.W, h = size.H;
    for (auto _ : state) {
        switch (op) {
            case EOp::Alpha: layer.DrawAlpha(0, 0, w, h, 0, 0, scene); break;
            case EOp::AlphaOpacity: layer.DrawAlphaOpacity(0, 0, w, h, 0, 0, scene, 200); break;
            case EOp::AlphaKeyed: layer.DrawAlphaKeyed(0, 0, w, h, 0, 0, scene, 200); break;
            case EOp::Blend: layer.DrawBlend(0, 0, w, h, 0, 0, scene, 128); break;
            case EOp::Add: layer.DrawAdd(0, 0, w, h, 0, 0, scene, 20); break;
            case EOp::Compose: layer.ComposeFromMask(mask, out); break;
            case EOp::Fill: scene.FillColor(10, 20, 30); break;
        }
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(scene.Pixels());
    benchmark::DoNotOptimize(out.Pixels());
}

void OursStretch(benchmark::State& state) {
    TABitmap scene = MakeScene(kScreenWidth, kScreenHeight, 4), thumb(96, 72);
    for (auto _ : state) {
        TABitmap::StretchBilinear(96, 72, scene, 0, 0, kScreenWidth, kScreenHeight, 0, 0, thumb);
        benchmark::ClobberMemory();
    }
}

void PixmanStretchPeer(benchmark::State& state) {
    TABitmap scene = MakeScene(kScreenWidth, kScreenHeight, 4);
    std::vector<uint32_t> src = ToStraight(scene), dst(96 * 72);
    pixman_image_t* s = PixmanImage(src, kScreenWidth, kScreenHeight);
    pixman_image_t* d = PixmanImage(dst, 96, 72);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(double(kScreenWidth) / 96), pixman_double_to_fixed(double(kScreenHeight) / 72));
    pixman_image_set_transform(s, &t);
    pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, 96, 72);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
}

// One painted frame: the scene copied into the back buffer, the message window at (0, 416) with
// the window opacity, two text layers over it.
void OursFrame(benchmark::State& state) {
    TABitmap scenePicture = MakeScene(kScreenWidth, kScreenHeight, 5), back(kScreenWidth, kScreenHeight);
    TABitmap window = MakeLayer(kScreenWidth, kMsgWindowHeight, 6), text = MakeLayer(kScreenWidth, kMsgWindowHeight, 7), shadow = MakeLayer(kScreenWidth, kMsgWindowHeight, 8);
    for (auto _ : state) {
        scenePicture.CopyRect(0, 0, kScreenWidth, kScreenHeight, 0, 0, back);
        window.DrawAlphaOpacity(0, kMsgWindowTop, kScreenWidth, kMsgWindowHeight, 0, 0, back, 200);
        shadow.DrawAlpha(0, kMsgWindowTop, kScreenWidth, kMsgWindowHeight, 0, 0, back);
        text.DrawAlpha(0, kMsgWindowTop, kScreenWidth, kMsgWindowHeight, 0, 0, back);
        benchmark::ClobberMemory();
    }
}

void PixmanFramePeer(benchmark::State& state) {
    std::vector<uint32_t> scene = ToStraight(MakeScene(kScreenWidth, kScreenHeight, 5)), back(kScreenWidth * kScreenHeight);
    std::vector<uint32_t> window = ToPremultiplied(MakeLayer(kScreenWidth, kMsgWindowHeight, 6)), text = ToPremultiplied(MakeLayer(kScreenWidth, kMsgWindowHeight, 7)),
                          shadow = ToPremultiplied(MakeLayer(kScreenWidth, kMsgWindowHeight, 8));
    pixman_image_t* sc = PixmanImage(scene, kScreenWidth, kScreenHeight);
    pixman_image_t* bk = PixmanImage(back, kScreenWidth, kScreenHeight);
    pixman_image_t* wi = PixmanImage(window, kScreenWidth, kMsgWindowHeight);
    pixman_image_t* tx = PixmanImage(text, kScreenWidth, kMsgWindowHeight);
    pixman_image_t* sh = PixmanImage(shadow, kScreenWidth, kMsgWindowHeight);
    const pixman_color_t c = {0, 0, 0, static_cast<uint16_t>(200 * 257)};
    pixman_image_t* op = pixman_image_create_solid_fill(&c);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, sc, nullptr, bk, 0, 0, 0, 0, 0, 0, kScreenWidth, kScreenHeight);
        pixman_image_composite32(PIXMAN_OP_OVER, wi, op, bk, 0, 0, 0, 0, 0, kMsgWindowTop, kScreenWidth, kMsgWindowHeight);
        pixman_image_composite32(PIXMAN_OP_OVER, sh, nullptr, bk, 0, 0, 0, 0, 0, kMsgWindowTop, kScreenWidth, kMsgWindowHeight);
        pixman_image_composite32(PIXMAN_OP_OVER, tx, nullptr, bk, 0, 0, 0, 0, 0, kMsgWindowTop, kScreenWidth, kMsgWindowHeight);
        benchmark::ClobberMemory();
    }
    for (auto* i : {sc, bk, wi, tx, sh, op}) pixman_image_unref(i);
}

// The next scene of a show command: the background and five half-screen characters at the
// three stage positions (and two between them), layer 5 first.
constexpr int kStageX[orva::kCharacterLayers] = {-200, 0, 200, 400, 100};

void OursCreateNextImage(benchmark::State& state) {
    const TABitmap background = MakeScene(kScreenWidth, kScreenHeight, 20);
    std::array<TABitmap, orva::kCharacterLayers> pictures;
    std::array<orva::SceneLayer, orva::kCharacterLayers> layers;
    for (int s = 0; s < orva::kCharacterLayers; ++s) {
        pictures[s] = MakeLayer(400, kScreenHeight, 21 + s);
        layers[s] = {&pictures[s], kStageX[s], 0, 255};
    }
    TABitmap next(kScreenWidth, kScreenHeight);
    for (auto _ : state) {
        orva::ComposeScene(background, layers, next);
        benchmark::ClobberMemory();
    }
}

void PixmanCreateNextImagePeer(benchmark::State& state) {
    std::vector<uint32_t> background = ToStraight(MakeScene(kScreenWidth, kScreenHeight, 20)), next(kScreenWidth * kScreenHeight);
    std::array<std::vector<uint32_t>, orva::kCharacterLayers> pictures;
    std::array<pixman_image_t*, orva::kCharacterLayers> images;
    for (int s = 0; s < orva::kCharacterLayers; ++s) {
        pictures[s] = ToPremultiplied(MakeLayer(400, kScreenHeight, 21 + s));
        images[s] = PixmanImage(pictures[s], 400, kScreenHeight);
    }
    pixman_image_t* bg = PixmanImage(background, kScreenWidth, kScreenHeight);
    pixman_image_t* nx = PixmanImage(next, kScreenWidth, kScreenHeight);
    const pixman_color_t black = {0, 0, 0, 0xFFFF};
    const pixman_box32_t screen = {0, 0, kScreenWidth, kScreenHeight};
    for (auto _ : state) {
        pixman_image_fill_boxes(PIXMAN_OP_SRC, nx, &black, 1, &screen);
        pixman_image_composite32(PIXMAN_OP_SRC, bg, nullptr, nx, 0, 0, 0, 0, 0, 0, kScreenWidth, kScreenHeight);
        for (int s = orva::kCharacterLayers - 1; s >= 0; --s)
            pixman_image_composite32(PIXMAN_OP_OVER, images[s], nullptr, nx, 0, 0, 0, 0, kStageX[s], 0, 400, kScreenHeight);
        benchmark::ClobberMemory();
    }
    for (auto* i : images) pixman_image_unref(i);
    pixman_image_unref(bg);
    pixman_image_unref(nx);
}

// ---- PNG decode -----------------------------------------------------------------------------

void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

// An 800 × 600 RGBA picture with smooth areas and a soft-edged body, like a character picture.
const std::vector<uint8_t>& TestPng() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> out;
        const TABitmap layer = MakeLayer(kScreenWidth, kScreenHeight, 9);
        std::vector<uint8_t> rgba(kScreenWidth * kScreenHeight * 4);
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) {
                uint8_t* p = &rgba[(y * kScreenWidth + x) * 4];
                p[0] = static_cast<uint8_t>(x * 255 / kScreenWidth);
                p[1] = static_cast<uint8_t>(y * 255 / kScreenHeight);
                p[2] = static_cast<uint8_t>((x ^ y) & 0x3F);
                p[3] = static_cast<uint8_t>(255 - (layer.Pixels()[y * kScreenWidth + x] >> 24));
            }
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) std::abort();
        png_set_write_fn(png, &out, AppendBytes, nullptr);
        png_set_IHDR(png, info, kScreenWidth, kScreenHeight, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < kScreenHeight; ++y) png_write_row(png, &rgba[y * kScreenWidth * 4]);
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return out;
    }();
    return bytes;
}

void OursPng(benchmark::State& state) {
    const auto& bytes = TestPng();
    TABitmap out;
    bool hasAlpha = false;
    std::string error;
    for (auto _ : state)
        if (!orva::DecodePng(bytes, out, hasAlpha, error)) state.SkipWithError(error.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void LibpngPeer(benchmark::State& state) {
    const auto& bytes = TestPng();
    std::vector<uint8_t> buffer(kScreenWidth * kScreenHeight * 4);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) state.SkipWithError("begin");
        image.format = PNG_FORMAT_BGRA;
        if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) state.SkipWithError("finish");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void RegisterAll() {
    const TSize sizes[] = {{kScreenWidth, kScreenHeight}, {kScreenWidth, kMsgWindowHeight}};
    struct TRow { const char* Name; EOp Op; bool AlphaPeers; int PeerOpacity; };
    const TRow rows[] = {
        {"DrawAlpha", EOp::Alpha, true, -1},          {"DrawAlphaOpacity", EOp::AlphaOpacity, true, 200},
        {"DrawAlphaKeyed", EOp::AlphaKeyed, true, 200}, {"DrawBlend", EOp::Blend, false, 0},
        {"DrawAdd", EOp::Add, false, 0},              {"ComposeFromMask", EOp::Compose, false, 0},
        {"FillColor", EOp::Fill, false, 0},
    };
    for (const TRow& row : rows)
        for (const TSize& size : sizes) {
            const std::string base = std::string(row.Name) + "/" + size.Name() + "/";
            const size_t bytes = static_cast<size_t>(size.W) * size.H * 4;
            benchmark::RegisterBenchmark((base + "orva").c_str(), Ours, size, row.Op);
            benchmark::RegisterBenchmark((base + "memcpy").c_str(), MemcpyPeer, bytes);
            if (row.AlphaPeers) {
                benchmark::RegisterBenchmark((base + "pixman").c_str(), PixmanOverPeer, size, row.PeerOpacity);
                benchmark::RegisterBenchmark((base + "sdl").c_str(), SdlBlendPeer, size, row.PeerOpacity);
            }
        }
    benchmark::RegisterBenchmark("StretchBilinear/800x600to96x72/orva", OursStretch);
    benchmark::RegisterBenchmark("StretchBilinear/800x600to96x72/memcpy", MemcpyPeer, size_t{96 * 72 * 4});
    benchmark::RegisterBenchmark("StretchBilinear/800x600to96x72/pixman", PixmanStretchPeer);
    benchmark::RegisterBenchmark("Frame/800x600/orva", OursFrame);
    benchmark::RegisterBenchmark("Frame/800x600/memcpy", MemcpyPeer, size_t{kScreenWidth * kScreenHeight * 4 + 3 * kScreenWidth * kMsgWindowHeight * 4});
    benchmark::RegisterBenchmark("Frame/800x600/pixman", PixmanFramePeer);
    benchmark::RegisterBenchmark("CreateNextImage/800x600+5x400x600/orva", OursCreateNextImage);
    benchmark::RegisterBenchmark("CreateNextImage/800x600+5x400x600/memcpy", MemcpyPeer,
                                 size_t{2 * kScreenWidth * kScreenHeight * 4 + 5 * 400 * kScreenHeight * 4});
    benchmark::RegisterBenchmark("CreateNextImage/800x600+5x400x600/pixman", PixmanCreateNextImagePeer);
    benchmark::RegisterBenchmark("DecodePng/800x600/orva", OursPng);
    benchmark::RegisterBenchmark("DecodePng/800x600/libpng", LibpngPeer);
}

}  // namespace

int main(int argc, char** argv) { return orva::bench::RunBenchmarks(argc, argv, RegisterAll); }
