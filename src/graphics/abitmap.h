// TABitmap: a picture held at 32 bits per pixel (bytes blue, green, red, transparency: 0 opaque,
// 255 invisible), rows top-down without gaps, with the engine's bit-exact draw operations.
//
// Sections: storage and canvas | draw operations (cross-fade, transparency, additive) |
// whole-picture operations (mask composition, bilinear scaling, inversion) | clipping.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/zeroed_memory.h"

namespace orva {

class TABitmap {
public:
    TABitmap() = default;
    TABitmap(int w, int h) { SetSize32(w, h); }

    // ---- storage and canvas ----------------------------------------------------------------
    // Pictures are always 32-bit; kept so callers read like the rest of the engine.
    void Make32Bit() {}
    // Make32Bit, then width W and height H. The part that both sizes share keeps its pixels,
    // new pixels are (0, 0, 0, 0). A negative size counts as 0.
    void SetSize32(int w, int h);
    int Width() const { return W; }
    int Height() const { return H; }
    bool IsReady() const { return W > 0; }
    // Row y (0 = top) as W × 4 bytes; y must lie in 0 … Height() − 1. Writable access counts as
    // a write of the whole picture (see Written).
    uint8_t* Row(int y) {
        Track.All();
        return reinterpret_cast<uint8_t*>(Data.data() + static_cast<size_t>(y) * W);
    }
    const uint8_t* Row(int y) const {
        return reinterpret_cast<const uint8_t*>(Data.data() + static_cast<size_t>(y) * W);
    }
    size_t RowBytes() const { return static_cast<size_t>(W) * 4; }
    // All pixels row after row; one uint32_t is B | G << 8 | R << 16 | T << 24.
    uint32_t* Pixels() {
        Track.All();
        return Data.data();
    }
    const uint32_t* Pixels() const { return Data.data(); }
    // Becomes a copy of other (size and every byte).
    void Assign(const TABitmap& other);

    // Every pixel := (B, G, R, 0); nothing when not IsReady.
    void FillColor(uint8_t r, uint8_t g, uint8_t b);
    // The canvas rectangle fill: (B, G, R, 0) in the rectangle, clipped to the picture.
    void FillRect(int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b);
    // The canvas copy: this picture's rectangle (SX, SY, W, H) copied byte for byte onto dest at
    // (DX, DY), clipped to both pictures. dest may be this picture (overlap is handled).
    void CopyRect(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest) const;

    // ---- draw operations --------------------------------------------------------------------
    // All draw this picture's rectangle (SX, SY, W, H) onto dest at (DX, DY), clipped to dest
    // (ClipToDest) and then to this picture, applying the formula to all four bytes of a pixel.
    // dest must not be this picture.

    // Cross-fade: (s × a + d × (256 − a)) >> 8, a = opacity 0 … 256 (larger counts as 256).
    void DrawBlend(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const;
    // Two pixels per step; when the clipped width is odd the call goes whole to DrawBlend.
    // Results are identical to DrawBlend's.
    void DrawBlend2(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const;
    // Per-pixel transparency: k = (T >> 1) + 1, (s × (128 − k) + d × k) >> 7.
    void DrawAlpha(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest) const;
    // w = ((255 − T) × (opacity + 1)) >> 8, (s × w + d × (255 − w)) >> 8; opacity 0 … 255
    // (larger counts as 255).
    void DrawAlphaOpacity(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const;
    // As DrawAlphaOpacity, but a source pixel with T = 255 leaves its destination pixel untouched.
    void DrawAlphaKeyed(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const;
    // min(255, d + ((s × a) >> 8)), a = opacity 0 … 256 (larger counts as 256).
    void DrawAdd(int dx, int dy, int w, int h, int sx, int sy, TABitmap& dest, uint16_t opacity) const;

    // ---- whole-picture operations ----------------------------------------------------------
    // out := this picture's size and colours, its transparency bytes the blue byte of mask's
    // pixel at the same place. Pixels that mask does not cover get transparency 255 (as under
    // the all-white mask a picture without transparency gets). out may be this picture or mask.
    void ComposeFromMask(const TABitmap& mask, TABitmap& out) const;
    // Scales src's rectangle (SX, SY, SW, SH) to DW × DH at (DX, DY) of dest with 16.16
    // fixed-point steps and the engine's bottom- and right-edge rules. Destination pixels
    // outside dest are skipped; source reads are kept inside src (edge pixels repeat).
    static void StretchBilinear(int dw, int dh, const TABitmap& src, double sx, double sy, double sw, double sh,
                                double dx, double dy, TABitmap& dest);
    // Blue, green and red become 255 minus themselves in the rectangle (clipped to the picture);
    // the transparency byte stays.
    static void InvertRect(int x, int y, int w, int h, TABitmap& bitmap);

    // ---- write tracking ---------------------------------------------------------------------
    // Every write of pixels (a draw onto this picture, a fill, a copy, a resize, an Assign, a
    // copy or move of the object, any writable Row or Pixels access) gives the picture a new
    // generation, unique among all pictures, and widens its written box. Two reads of the same
    // generation therefore see the same pixels. The box covers every pixel written since the
    // last ClearWritten; false when nothing was written.
    uint64_t Generation() const { return Track.Gen; }
    bool Written(int& x, int& y, int& w, int& h) const;
    void ClearWritten() {
        Track.X0 = Track.Y0 = Track.X1 = Track.Y1 = 0;
        Track.Whole = false;
    }
    // Records a write of the rectangle (already clipped to the picture) done through a pointer
    // taken from the const Pixels.
    void NoteWritten(int x, int y, int w, int h) { Track.Box(x, y, x + w, y + h); }

    // ---- clipping ---------------------------------------------------------------------------
    // Clips a draw against a destination of pw × ph; false when nothing is to be drawn.
    static bool ClipToDest(int& dx, int& dy, int& w, int& h, int& sx, int& sy, int pw, int ph);
    // ClipToDest, then cuts the source rectangle to a source of sw × sh (moving the destination
    // with it), so no pixel outside either picture is read or written.
    static bool ClipDraw(int& dx, int& dy, int& w, int& h, int& sx, int& sy, int pw, int ph, int sw, int sh);

private:
    struct WriteTrack {
        static inline std::atomic<uint64_t> Next{0};
        uint64_t Gen = Next.fetch_add(1, std::memory_order_relaxed) + 1;
        int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;  // written box [X0, X1) × [Y0, Y1); empty when X0 == X1
        bool Whole = false;                   // the whole picture, whatever its size

        WriteTrack() = default;
        // A picture copied or moved into (or out of) is written whole.
        WriteTrack(const WriteTrack&) { All(); }
        WriteTrack(WriteTrack&& other) noexcept {
            other.All();
            All();
        }
        WriteTrack& operator=(const WriteTrack&) {
            All();
            return *this;
        }
        WriteTrack& operator=(WriteTrack&& other) noexcept {
            other.All();
            All();
            return *this;
        }
        void Bump() { Gen = Next.fetch_add(1, std::memory_order_relaxed) + 1; }
        void All() {
            Bump();
            Whole = true;
        }
        void Box(int x0, int y0, int x1, int y1) {
            Bump();
            if (x0 >= x1 || y0 >= y1) return;
            if (X0 == X1 && !Whole) {
                X0 = x0, Y0 = y0, X1 = x1, Y1 = y1;
                return;
            }
            X0 = x0 < X0 ? x0 : X0;
            Y0 = y0 < Y0 ? y0 : Y0;
            X1 = x1 > X1 ? x1 : X1;
            Y1 = y1 > Y1 ? y1 : Y1;
        }
    };

    int W = 0, H = 0;              // size in pixels
    // W × H pixels, row 0 first. The buffer comes zeroed and starts on a cache line, so the
    // vector kernels' loads and stores of a row whose width is a multiple of 16 pixels never
    // straddle two lines.
    ZeroedVector<uint32_t> Data;
    WriteTrack Track;
};

}  // namespace orva
