// The portable row kernels and the run-time choice between the kernel tables.
#include "graphics/pixel_kernels.h"

namespace orva::pixel {
namespace {

inline uint32_t Channel(uint32_t p, int ch) { return (p >> (ch * 8)) & 255u; }

void BlendRow(const uint32_t* s, uint32_t* d, int n, unsigned a) {
    const unsigned na = 256 - a;
    for (int i = 0; i < n; ++i) {
        uint32_t r = 0;
        for (int ch = 0; ch < 4; ++ch)
            r |= ((Channel(s[i], ch) * a + Channel(d[i], ch) * na) >> 8) << (ch * 8);
        d[i] = r;
    }
}

void AlphaRow(const uint32_t* s, uint32_t* d, int n) {
    for (int i = 0; i < n; ++i) {
        const uint32_t k = (s[i] >> 25) + 1, nk = 128 - k;
        uint32_t r = 0;
        for (int ch = 0; ch < 4; ++ch) r |= ((Channel(s[i], ch) * nk + Channel(d[i], ch) * k) >> 7) << (ch * 8);
        d[i] = r;
    }
}

inline uint32_t OpacityPixel(uint32_t s, uint32_t d, unsigned opacity) {
    const uint32_t w = ((255 - (s >> 24)) * (opacity + 1)) >> 8, nw = 255 - w;
    uint32_t r = 0;
    for (int ch = 0; ch < 4; ++ch) r |= ((Channel(s, ch) * w + Channel(d, ch) * nw) >> 8) << (ch * 8);
    return r;
}

void AlphaOpacityRow(const uint32_t* s, uint32_t* d, int n, unsigned opacity) {
    for (int i = 0; i < n; ++i) d[i] = OpacityPixel(s[i], d[i], opacity);
}

void AlphaKeyedRow(const uint32_t* s, uint32_t* d, int n, unsigned opacity) {
    for (int i = 0; i < n; ++i)
        if ((s[i] >> 24) != 255) d[i] = OpacityPixel(s[i], d[i], opacity);
}

void AddRow(const uint32_t* s, uint32_t* d, int n, unsigned a) {
    for (int i = 0; i < n; ++i) {
        uint32_t r = 0;
        for (int ch = 0; ch < 4; ++ch) {
            const uint32_t v = Channel(d[i], ch) + ((Channel(s[i], ch) * a) >> 8);
            r |= (v > 255 ? 255 : v) << (ch * 8);
        }
        d[i] = r;
    }
}

void ComposeRow(const uint32_t* colour, const uint32_t* mask, uint32_t* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = (colour[i] & 0x00FFFFFFu) | (mask[i] << 24);
}

// Each channel: (p·(255 − f) + q·f) >> 8 across, then the same down; no sum passes 65,025.
void BilinearRow(const uint32_t* a, const uint32_t* b, const TBilinearColumn* cols, int n, unsigned fy,
                 uint32_t* out) {
    for (int c = 0; c < n; ++c) {
        const TBilinearColumn& col = cols[c];
        const uint32_t fx = col.Fx;
        uint32_t r = 0;
        for (int ch = 0; ch < 4; ++ch) {
            const uint32_t top = (Channel(a[col.Left], ch) * (255 - fx) + Channel(a[col.Right], ch) * fx) >> 8;
            const uint32_t bottom = (Channel(b[col.Left], ch) * (255 - fx) + Channel(b[col.Right], ch) * fx) >> 8;
            r |= ((top * (255 - fy) + bottom * fy) >> 8) << (ch * 8);
        }
        out[c] = r;
    }
}

const TKernels kScalar = {"scalar",         BlendRow, AlphaRow,   AlphaOpacityRow, AlphaKeyedRow,
                          AddRow,           ComposeRow, BilinearRow};

}  // namespace

const TKernels& ScalarKernels() { return kScalar; }

const TKernels& ActiveKernels() {
    static const TKernels* const active = [] {
        if (const TKernels* k = Avx2Kernels()) return k;
        if (const TKernels* k = Sse2Kernels()) return k;
        return &kScalar;
    }();
    return *active;
}

}  // namespace orva::pixel
