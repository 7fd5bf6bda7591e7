// Scalar reference of TABitmap's pixel formulas and clipping, written the plain way (one channel
// at a time, byte addressing) so the library's packed and vector paths can be checked against it.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/abitmap.h"

namespace orva::ref {

enum class Op { Blend, Alpha, AlphaOpacity, AlphaKeyed, Add };

// One channel of one pixel; t is the source pixel's transparency byte.
inline uint8_t Channel(Op op, unsigned s, unsigned d, unsigned t, unsigned opacity) {
    switch (op) {
        case Op::Blend: return static_cast<uint8_t>((s * opacity + d * (256 - opacity)) >> 8);
        case Op::Alpha: {
            const unsigned k = (t >> 1) + 1;
            return static_cast<uint8_t>((s * (128 - k) + d * k) >> 7);
        }
        case Op::AlphaOpacity:
        case Op::AlphaKeyed: {
            const unsigned w = ((255 - t) * (opacity + 1)) >> 8;
            return static_cast<uint8_t>((s * w + d * (255 - w)) >> 8);
        }
        case Op::Add: return static_cast<uint8_t>(std::min(255u, d + ((s * opacity) >> 8)));
    }
    return 0;
}

// The draw frame exactly as the engine defines it: readiness (not for Add), destination
// clipping, then the formula on all four bytes. The caller keeps the source rectangle inside src.
inline void Draw(Op op, const TABitmap& src, int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest,
                 unsigned opacity) {
    if (op != Op::Add && (!src.IsReady() || !dest.IsReady())) return;
    const int pw = dest.Width(), ph = dest.Height();
    if (w <= 0 || h <= 0) return;
    if ((dx < 0 && dx + w <= 0) || (dy < 0 && dy + h <= 0) || dx >= pw || dy >= ph) return;
    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (dx + w > pw) w = pw - dx;
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    if (dy + h > ph) h = ph - dy;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const uint8_t* s = src.Row(sy + r) + (sx + c) * 4;
            uint8_t* d = dest.Row(dy + r) + (dx + c) * 4;
            if (op == Op::AlphaKeyed && s[3] == 255) continue;
            const unsigned t = s[3];
            for (int ch = 0; ch < 4; ++ch) d[ch] = Channel(op, s[ch], d[ch], t, opacity);
        }
}

// Bilinear reduction with the bottom- and right-edge rules, for rectangles inside both
// pictures; the right edge repeats the row's last pixel where the sample would pass it.
inline void Stretch(int dw, int dh, const TABitmap& src, int sx, int sy, int sw, int sh, int dx, int dy,
                    TABitmap& dest) {
    const int64_t stepX = static_cast<int64_t>(static_cast<double>(sw) * 65535.0 / dw);
    const int64_t stepY = static_cast<int64_t>(static_cast<double>(sh) * 65535.0 / dh);
    const int64_t k = static_cast<int64_t>(static_cast<double>(dw) * 65535.0 / sw);
    const int64_t c0 = (static_cast<int64_t>(sw - 1) * k) >> 16;
    const bool bottom = sy + sh >= src.Height();
    const int64_t l = static_cast<int64_t>(static_cast<double>(dh) * 65535.0 / sh);
    const int64_t r0 = bottom ? (static_cast<int64_t>(sh - 1) * l) / 65535 : dh;
    auto px = [&](int row, int64_t col, int ch) -> unsigned {
        col = std::min<int64_t>(col, src.Width() - 1);
        return src.Row(row)[col * 4 + ch];
    };
    for (int r = 0; r < dh; ++r) {
        int rowA, rowB;
        unsigned fy;
        if (r < r0) {
            const int64_t m = static_cast<int64_t>(r) * stepY;
            rowA = sy + static_cast<int>(m >> 16);
            rowB = rowA + 1;
            fy = static_cast<unsigned>((m >> 8) & 255);
        } else {
            const int64_t counter = static_cast<int64_t>(sh - 1) * 65536 + (r - r0) * stepY;
            rowA = sy + sh - 1;
            rowB = sy + sh - 2;
            fy = static_cast<unsigned>((counter >> 8) & 255);
        }
        for (int c = 0; c < dw; ++c) {
            const int64_t x = static_cast<int64_t>(sx) * 65535 + (c < c0 ? c : c - 1) * stepX;
            const int64_t i = x >> 16;
            const unsigned fx = static_cast<unsigned>((x >> 8) & 255);
            uint8_t* o = dest.Row(dy + r) + (dx + c) * 4;
            for (int ch = 0; ch < 4; ++ch) {
                const unsigned top = std::min(65535u, px(rowA, i, ch) * (255 - fx) + px(rowA, i + 1, ch) * fx) >> 8;
                const unsigned bot = std::min(65535u, px(rowB, i, ch) * (255 - fx) + px(rowB, i + 1, ch) * fx) >> 8;
                o[ch] = static_cast<uint8_t>(std::min(255u, std::min(65535u, top * (255 - fy) + bot * fy) >> 8));
            }
        }
    }
}

}  // namespace orva::ref
