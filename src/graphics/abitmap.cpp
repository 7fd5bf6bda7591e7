// TABitmap's storage, canvas fills and copies, the clipping frame of the draws, mask
// composition, bilinear scaling and inversion. The per-row pixel formulas are in pixel_kernels.
#include "graphics/abitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "graphics/pixel_kernels.h"

namespace orva {

// ---- storage and canvas -----------------------------------------------------------------------

void TABitmap::SetSize32(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == W && h == H) return;
    Track.All();
    decltype(Data) next(static_cast<size_t>(w) * h);  // zero: (0, 0, 0, 0)
    const int keepW = std::min(w, W), keepH = keepW > 0 ? std::min(h, H) : 0;
    for (int y = 0; y < keepH; ++y)
        std::memcpy(next.data() + static_cast<size_t>(y) * w, Data.data() + static_cast<size_t>(y) * W,
                    static_cast<size_t>(keepW) * 4);
    Data.swap(next);
    W = w;
    H = h;
}

void TABitmap::Assign(const TABitmap& other) {
    if (&other == this) return;
    Track.All();
    W = other.W;
    H = other.H;
    Data = other.Data;
}

bool TABitmap::Written(int& x, int& y, int& w, int& h) const {
    if (Track.Whole) {
        x = y = 0, w = W, h = H;
        return W > 0 && H > 0;
    }
    x = Track.X0, y = Track.Y0, w = Track.X1 - Track.X0, h = Track.Y1 - Track.Y0;
    return w > 0 && h > 0;
}

void TABitmap::FillColor(uint8_t r, uint8_t g, uint8_t b) { FillRect(0, 0, W, H, r, g, b); }

void TABitmap::FillRect(int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    if (!IsReady() || w <= 0 || h <= 0) return;
    const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{x} + w, W), y1 = std::min<int64_t>(int64_t{y} + h, H);
    if (x0 >= x1 || y0 >= y1) return;
    const uint32_t px = uint32_t{b} | uint32_t{g} << 8 | uint32_t{r} << 16;
    Track.Box(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1));
    for (int64_t row = y0; row < y1; ++row) {
        uint32_t* p = Data.data() + static_cast<size_t>(row) * W;
        std::fill(p + x0, p + x1, px);
    }
}

void TABitmap::CopyRect(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest) const {
    if (!ClipDraw(dx, dy, w, h, sx, sy, dest.W, dest.H, W, H)) return;
    const size_t bytes = static_cast<size_t>(w) * 4;
    dest.NoteWritten(dx, dy, w, h);
    // Rows are walked away from the overlap when a picture is copied onto itself.
    const bool upward = &dest == this && dy > sy;
    for (int i = 0; i < h; ++i) {
        const int r = upward ? h - 1 - i : i;
        std::memmove(dest.Data.data() + static_cast<size_t>(dy + r) * dest.W + dx,
                     Data.data() + static_cast<size_t>(sy + r) * W + sx, bytes);
    }
}

// ---- clipping ---------------------------------------------------------------------------------

bool TABitmap::ClipToDest(int& dx, int& dy, int& w, int& h, int& sx, int& sy, int pw, int ph) {
    if (w <= 0 || h <= 0) return false;
    // 64-bit sums: a huge W or DX must not wrap into a "visible" rectangle.
    if ((dx < 0 && int64_t{dx} + w <= 0) || (dy < 0 && int64_t{dy} + h <= 0) || dx >= pw || dy >= ph) return false;
    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (int64_t{dx} + w > pw) w = pw - dx;
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    if (int64_t{dy} + h > ph) h = ph - dy;
    return w > 0 && h > 0;
}

bool TABitmap::ClipDraw(int& dx, int& dy, int& w, int& h, int& sx, int& sy, int pw, int ph, int sw, int sh) {
    if (!ClipToDest(dx, dy, w, h, sx, sy, pw, ph)) return false;
    // The source rectangle is cut to the source picture too, so a caller's rectangle that
    // reaches past the source draws only the pixels that exist instead of reading past them.
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    if (sx >= sw || sy >= sh || w <= 0 || h <= 0) return false;
    if (int64_t{sx} + w > sw) w = sw - sx;
    if (int64_t{sy} + h > sh) h = sh - sy;
    return w > 0 && h > 0;
}

// ---- draw operations --------------------------------------------------------------------------

namespace {

// The shared frame: readiness, clipping, one address per row and picture, then the row kernel.
template <typename RowFn>
void ForEachRow(const TABitmap& src, int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, bool checkReady,
                RowFn&& row) {
    if (checkReady && (!src.IsReady() || !dest.IsReady())) return;
    if (&src == &dest) return;  // the kernels read and write in one pass; a picture onto itself is not drawn
    if (!TABitmap::ClipDraw(dx, dy, w, h, sx, sy, dest.Width(), dest.Height(), src.Width(), src.Height())) return;
    const uint32_t* s = src.Pixels() + static_cast<size_t>(sy) * src.Width() + sx;
    dest.NoteWritten(dx, dy, w, h);
    uint32_t* d = const_cast<uint32_t*>(std::as_const(dest).Pixels()) + static_cast<size_t>(dy) * dest.Width() + dx;
    for (int r = 0; r < h; ++r, s += src.Width(), d += dest.Width()) row(s, d, w);
}

}  // namespace

void TABitmap::DrawBlend(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const {
    const unsigned a = std::min<unsigned>(opacity, 256);
    const auto& k = pixel::ActiveKernels();
    ForEachRow(*this, dx, dy, w, h, sx, sy, dest, true, [&](const uint32_t* s, uint32_t* d, int n) {
        if (a == 256)
            std::memcpy(d, s, static_cast<size_t>(n) * 4);  // (s × 256) >> 8 is s
        else if (a != 0)
            k.Blend(s, d, n, a);  // at 0 the result is d
    });
}

void TABitmap::DrawBlend2(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const {
    int cdx = dx, cdy = dy, cw = w, ch = h, csx = sx, csy = sy;
    if (!IsReady() || !dest.IsReady() || !ClipDraw(cdx, cdy, cw, ch, csx, csy, dest.W, dest.H, W, H)) return;
    // The kernels already take pixels in pairs (and wider); the odd-width hand-off is kept so
    // both entries behave alike call for call.
    if (cw % 2 != 0) {
        DrawBlend(dx, dy, w, h, sx, sy, dest, opacity);
        return;
    }
    DrawBlend(cdx, cdy, cw, ch, csx, csy, dest, opacity);
}

void TABitmap::DrawAlpha(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest) const {
    const auto& k = pixel::ActiveKernels();
    ForEachRow(*this, dx, dy, w, h, sx, sy, dest, true, [&](const uint32_t* s, uint32_t* d, int n) { k.Alpha(s, d, n); });
}

void TABitmap::DrawAlphaOpacity(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const {
    const unsigned o = std::min<unsigned>(opacity, 255);
    const auto& k = pixel::ActiveKernels();
    ForEachRow(*this, dx, dy, w, h, sx, sy, dest, true,
               [&](const uint32_t* s, uint32_t* d, int n) { k.AlphaOpacity(s, d, n, o); });
}

void TABitmap::DrawAlphaKeyed(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const {
    const unsigned o = std::min<unsigned>(opacity, 255);
    const auto& k = pixel::ActiveKernels();
    ForEachRow(*this, dx, dy, w, h, sx, sy, dest, true,
               [&](const uint32_t* s, uint32_t* d, int n) { k.AlphaKeyed(s, d, n, o); });
}

void TABitmap::DrawAdd(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const {
    const unsigned a = std::min<unsigned>(opacity, 256);
    if (a == 0) return;  // adds nothing
    const auto& k = pixel::ActiveKernels();
    ForEachRow(*this, dx, dy, w, h, sx, sy, dest, false, [&](const uint32_t* s, uint32_t* d, int n) { k.Add(s, d, n, a); });
}

// ---- whole-picture operations -----------------------------------------------------------------

void TABitmap::ComposeFromMask(const TABitmap& mask, TABitmap& out) const {
    const int w = W, h = H;
    // out may be mask: then the mask's blue bytes must be read before out is resized.
    TABitmap maskCopy;
    const TABitmap* m = &mask;
    if (&out == &mask && &mask != this) {
        maskCopy.Assign(mask);
        m = &maskCopy;
    }
    if (&out != this) out.SetSize32(w, h);
    out.Track.All();
    const auto& k = pixel::ActiveKernels();
    const int covered = std::min(w, m->W), coveredRows = std::min(h, m->H);
    for (int y = 0; y < h; ++y) {
        const uint32_t* c = Data.data() + static_cast<size_t>(y) * w;
        uint32_t* o = out.Data.data() + static_cast<size_t>(y) * w;
        int x = 0;
        if (y < coveredRows) {
            k.Compose(c, m->Data.data() + static_cast<size_t>(y) * m->W, o, covered);
            x = covered;
        }
        for (; x < w; ++x) o[x] = c[x] | 0xFF000000u;
    }
}

void TABitmap::StretchBilinear(int dw, int dh, const TABitmap& src, double sx, double sy, double sw, double sh,
                               double dx, double dy, TABitmap& dest) {
    if (dw <= 0 || dh <= 0 || !src.IsReady() || src.H <= 0 || !dest.IsReady()) return;
    if (!(sx >= 0 && sx <= src.W && sy >= 0 && sy <= src.H)) return;
    if (!(dx < dest.W && dy < dest.H && dx + dw > 0 && dy + dh > 0)) return;
    // 65535, not 65536: the steps fall a little short of the exact ratio.
    const int64_t stepX = static_cast<int64_t>(sw * 65535.0 / dw);
    const int64_t stepY = static_cast<int64_t>(sh * 65535.0 / dh);
    if (sx + sw > src.W) sw = src.W - sx;
    if (sy + sh > src.H) sh = src.H - sy;
    const int64_t isw = static_cast<int64_t>(sw), ish = static_cast<int64_t>(sh);
    if (isw <= 0 || ish <= 0) return;
    const int64_t isy = static_cast<int64_t>(sy);
    const int64_t x0 = static_cast<int64_t>(sx * 65535.0);
    const int ddx = static_cast<int>(dx), ddy = static_cast<int>(dy);

    // Right edge: columns from C0 on continue from column C0 − 1's position.
    const int64_t kx = static_cast<int64_t>(static_cast<double>(dw) * 65535.0 / sw);
    const int64_t c0 = ((isw - 1) * kx) >> 16;
    // Bottom edge, only when the rectangle reaches the source's last row.
    const bool bottomRule = sy + sh >= src.H;
    int64_t r0 = dh;
    if (bottomRule) {
        const int64_t ly = static_cast<int64_t>(static_cast<double>(dh) * 65535.0 / sh);
        r0 = std::min<int64_t>(((ish - 1) * ly) / 65535, dh);
    }

    auto clampRow = [&](int64_t r) { return static_cast<int>(std::clamp<int64_t>(r, 0, src.H - 1)); };
    auto clampCol = [&](int64_t c) { return static_cast<int32_t>(std::clamp<int64_t>(c, 0, src.W - 1)); };
    // The columns inside the destination, each with its two source columns and weight, worked
    // out once for all rows.
    const int64_t cBegin = std::max<int64_t>(0, -int64_t{ddx}), cEnd = std::min<int64_t>(dw, int64_t{dest.W} - ddx);
    if (cBegin >= cEnd) return;
    std::vector<pixel::TBilinearColumn> cols(static_cast<size_t>(cEnd - cBegin));
    for (int64_t c = cBegin; c < cEnd; ++c) {
        const int64_t x = c < c0 ? x0 + c * stepX : x0 + (c - 1) * stepX;
        cols[static_cast<size_t>(c - cBegin)] = {clampCol(x >> 16), clampCol((x >> 16) + 1),
                                                 static_cast<uint32_t>((x >> 8) & 255)};
    }
    const auto& k = pixel::ActiveKernels();
    dest.Track.All();

    int64_t m = 0, edgeCounter = (ish - 1) * 65536;
    for (int64_t r = 0; r < dh; ++r) {
        int rowA, rowB;
        unsigned fy;
        if (r < r0) {
            rowA = clampRow(isy + (m >> 16));
            rowB = clampRow(isy + (m >> 16) + 1);
            fy = static_cast<unsigned>((m >> 8) & 255);
            m += stepY;
        } else {
            rowA = clampRow(isy + ish - 1);
            rowB = clampRow(isy + ish - 2);
            fy = static_cast<unsigned>((edgeCounter >> 8) & 255);
            edgeCounter += stepY;
        }
        const int64_t outY = ddy + r;
        if (outY < 0 || outY >= dest.H) continue;
        const uint32_t* a = src.Data.data() + static_cast<size_t>(rowA) * src.W;
        const uint32_t* b = src.Data.data() + static_cast<size_t>(rowB) * src.W;
        uint32_t* o = dest.Data.data() + static_cast<size_t>(outY) * dest.W + ddx + cBegin;
        k.Bilinear(a, b, cols.data(), static_cast<int>(cEnd - cBegin), fy, o);
    }
}

void TABitmap::InvertRect(int x, int y, int w, int h, TABitmap& bitmap) {
    if (!bitmap.IsReady() || w <= 0 || h <= 0) return;
    const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{x} + w, bitmap.W), y1 = std::min<int64_t>(int64_t{y} + h, bitmap.H);
    bitmap.Track.Box(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1));
    for (int64_t r = y0; r < y1; ++r) {
        uint32_t* p = bitmap.Data.data() + static_cast<size_t>(r) * bitmap.W;
        for (int64_t c = x0; c < x1; ++c) p[c] ^= 0x00FFFFFFu;
    }
}

}  // namespace orva
