// Painting helpers for the demo game's pictures.
#include "paint.h"

#include <algorithm>
#include <cmath>

namespace orva::demo {
namespace {

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Coverage of a pixel by a shape whose signed distance (negative inside) at its centre is d.
double Coverage(double d) { return Clamp01(0.5 - d); }

template <typename Dist>
void FillByDistance(TABitmap& pic, double x0, double y0, double x1, double y1, Rgb c, double a, Dist dist) {
    const int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
    const int ix1 = std::min(pic.Width() - 1, int(std::ceil(x1)) + 1);
    const int iy1 = std::min(pic.Height() - 1, int(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            const double cov = Coverage(dist(x + 0.5, y + 0.5));
            if (cov > 0) Blend(pic, x, y, c, cov * a);
        }
}

double RoundRectDistance(double px, double py, double x, double y, double w, double h, double r) {
    const double cx = x + w / 2, cy = y + h / 2;
    const double qx = std::fabs(px - cx) - (w / 2 - r), qy = std::fabs(py - cy) - (h / 2 - r);
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
    t = Clamp01(t);
    auto m = [t](uint8_t p, uint8_t q) { return uint8_t(std::lround(p + (q - p) * t)); };
    return {m(a.R, b.R), m(a.G, b.G), m(a.B, b.B)};
}

TABitmap MakePicture(int w, int h, Rgb fill, bool clear) {
    TABitmap pic(w, h);
    pic.FillColor(fill.R, fill.G, fill.B);
    if (clear)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pic.Row(y)[x * 4 + 3] = 255;
    return pic;
}

void Blend(TABitmap& pic, int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= pic.Width() || y >= pic.Height() || a <= 0) return;
    a = Clamp01(a);
    uint8_t* p = pic.Row(y) + x * 4;
    const double da = (255 - p[3]) / 255.0;
    const double oa = a + da * (1 - a);
    if (oa <= 0) return;
    auto ch = [&](uint8_t src, uint8_t dst) { return uint8_t(std::lround((src * a + dst * da * (1 - a)) / oa)); };
    p[0] = ch(c.B, p[0]);
    p[1] = ch(c.G, p[1]);
    p[2] = ch(c.R, p[2]);
    p[3] = uint8_t(std::lround(255 - oa * 255));
}

void VerticalGradient(TABitmap& pic, int x, int y, int w, int h, Rgb top, Rgb bottom, int steps) {
    for (int r = 0; r < h; ++r) {
        double t = h > 1 ? double(r) / (h - 1) : 0;
        if (steps > 0) t = std::floor(t * steps) / std::max(1, steps - 1);
        const Rgb c = Mix(top, bottom, t);
        pic.FillRect(x, y + r, w, 1, c.R, c.G, c.B);
    }
}

void FillCircle(TABitmap& pic, double cx, double cy, double r, Rgb c, double a) {
    FillEllipse(pic, cx, cy, r, r, c, a);
}

void FillEllipse(TABitmap& pic, double cx, double cy, double rx, double ry, Rgb c, double a) {
    FillByDistance(pic, cx - rx, cy - ry, cx + rx, cy + ry, c, a, [&](double px, double py) {
        const double nx = (px - cx) / rx, ny = (py - cy) / ry;
        const double k = std::sqrt(nx * nx + ny * ny);
        return (k - 1) * std::min(rx, ry);
    });
}

void FillRoundRect(TABitmap& pic, double x, double y, double w, double h, double radius, Rgb c, double a) {
    FillByDistance(pic, x, y, x + w, y + h, c, a,
                   [&](double px, double py) { return RoundRectDistance(px, py, x, y, w, h, radius); });
}

void StrokeRoundRect(TABitmap& pic, double x, double y, double w, double h, double radius, double t, Rgb c,
                     double a) {
    FillByDistance(pic, x, y, x + w, y + h, c, a, [&](double px, double py) {
        const double d = RoundRectDistance(px, py, x, y, w, h, radius);
        return std::max(d, -d - t);
    });
}

void FillPolygon(TABitmap& pic, const std::vector<double>& xy, Rgb c, double a) {
    const size_t n = xy.size() / 2;
    if (n < 3) return;
    double minX = xy[0], maxX = xy[0], minY = xy[1], maxY = xy[1];
    for (size_t i = 0; i < n; ++i) {
        minX = std::min(minX, xy[2 * i]);
        maxX = std::max(maxX, xy[2 * i]);
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    auto inside = [&](double px, double py) {
        bool in = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    };
    const int x0 = std::max(0, int(std::floor(minX))), x1 = std::min(pic.Width() - 1, int(std::ceil(maxX)));
    const int y0 = std::max(0, int(std::floor(minY))), y1 = std::min(pic.Height() - 1, int(std::ceil(maxY)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
            if (hits) Blend(pic, x, y, c, a * hits / 16.0);
        }
}

void Line(TABitmap& pic, double x0, double y0, double x1, double y1, double wd, Rgb c, double a) {
    const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    FillByDistance(pic, std::min(x0, x1) - wd, std::min(y0, y1) - wd, std::max(x0, x1) + wd,
                   std::max(y0, y1) + wd, c, a, [&](double px, double py) {
                       double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
                       t = Clamp01(t);
                       const double qx = x0 + t * dx - px, qy = y0 + t * dy - py;
                       return std::sqrt(qx * qx + qy * qy) - wd / 2;
                   });
}

void SetTransparency(TABitmap& pic, const std::function<uint8_t(int, int)>& t) {
    for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x) pic.Row(y)[x * 4 + 3] = t(x, y);
}

TABitmap Scaled(const TABitmap& pic, int w, int h) {
    TABitmap out = MakePicture(w, h, {0, 0, 0});
    TABitmap::StretchBilinear(w, h, pic, 0, 0, pic.Width(), pic.Height(), 0, 0, out);
    SetTransparency(out, [](int, int) { return uint8_t(0); });
    return out;
}

}  // namespace orva::demo
