// Painting helpers for the demo game's pictures: colours, anti-aliased shapes and gradients
// drawn straight into a TABitmap, with its transparency byte (0 opaque, 255 invisible) kept
// consistent so that pictures loaded into the engine's masked slots show their soft edges.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "graphics/abitmap.h"

namespace orva::demo {

struct Rgb {
    uint8_t R = 0, G = 0, B = 0;
};

// Linear mix of two colours, t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t);

// A new picture of w × h filled with a colour; opaque, or fully transparent when clear is set.
TABitmap MakePicture(int w, int h, Rgb fill, bool clear = false);

// Lays colour c with opacity a (0 … 1) over the pixel at (x, y), alpha-over on both colour
// and transparency. Outside the picture nothing happens.
void Blend(TABitmap& pic, int x, int y, Rgb c, double a);

// Vertical gradient over a rectangle, from top to bottom colour; steps > 0 bands it into that
// many flat steps (a flat-illustration look that also keeps the PNG files small).
void VerticalGradient(TABitmap& pic, int x, int y, int w, int h, Rgb top, Rgb bottom, int steps = 0);

// Shapes, blended with opacity a and edges smoothed over one pixel.
void FillCircle(TABitmap& pic, double cx, double cy, double r, Rgb c, double a = 1.0);
void FillEllipse(TABitmap& pic, double cx, double cy, double rx, double ry, Rgb c, double a = 1.0);
void FillRoundRect(TABitmap& pic, double x, double y, double w, double h, double radius, Rgb c, double a = 1.0);
// Outline of a rounded rectangle, thickness t inside its edge.
void StrokeRoundRect(TABitmap& pic, double x, double y, double w, double h, double radius, double t, Rgb c,
                     double a = 1.0);
// A polygon given as x0, y0, x1, y1, …, covered by 4 × 4 samples per pixel.
void FillPolygon(TABitmap& pic, const std::vector<double>& xy, Rgb c, double a = 1.0);
// A line of width wd between two points, round-capped.
void Line(TABitmap& pic, double x0, double y0, double x1, double y1, double wd, Rgb c, double a = 1.0);

// Sets every pixel's transparency from a function of its place (0 opaque … 255 invisible).
void SetTransparency(TABitmap& pic, const std::function<uint8_t(int x, int y)>& t);

// A copy of pic's rectangle scaled to w × h with the engine's bilinear scaler, opaque.
TABitmap Scaled(const TABitmap& pic, int w, int h);

// Small deterministic pseudo-random numbers (the pictures come out identical on every build).
class TRandom {
public:
    explicit TRandom(uint32_t seed) : S(seed ? seed : 1) {}
    uint32_t Next() {
        S ^= S << 13;
        S ^= S >> 17;
        S ^= S << 5;
        return S;
    }
    double Uniform() { return (Next() & 0xFFFFFF) / double(0x1000000); }

private:
    uint32_t S;
};

}  // namespace orva::demo
