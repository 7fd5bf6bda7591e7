// The scene backgrounds: eight places of the story, each in three lights (the picture and its
// "_1" and "_2" variants that the gallery steps through), drawn as flat banded illustrations.
#include <cmath>

#include "assets.h"
#include "platform/screen_layout.h"

namespace orva::demo {
namespace {

constexpr int kW = kScreenWidth, kH = kScreenHeight;

// The light of one picture: sky, sea and land colours, the sun or moon, and the night details.
struct Light {
    Rgb SkyTop, SkyBottom, SeaTop, SeaBottom, Land, Far, Sun;
    double SunY;        // height of the sun or moon's centre
    bool Night;         // stars, lit windows, a lit lighthouse
};

const Light kMorning{{120, 180, 220}, {250, 226, 190}, {70, 140, 180}, {30, 80, 120},
                     {96, 128, 96},  {150, 170, 190}, {255, 240, 200}, 150, false};
const Light kNoon{{70, 150, 220}, {190, 225, 245}, {40, 130, 180}, {20, 70, 120},
                  {90, 140, 80},  {130, 160, 190}, {255, 255, 235}, 90, false};
const Light kEvening{{90, 80, 140}, {250, 160, 100}, {150, 90, 100}, {50, 40, 80},
                     {70, 60, 70},  {140, 100, 120}, {255, 200, 120}, 330, false};
const Light kNight{{10, 16, 40}, {40, 60, 110}, {20, 40, 80}, {8, 14, 36},
                   {20, 28, 40}, {40, 50, 80},  {250, 245, 220}, 120, true};
const Light kDawn{{60, 70, 130}, {240, 190, 170}, {80, 100, 140}, {30, 40, 80},
                  {60, 70, 80},  {120, 120, 150}, {255, 230, 210}, 300, false};

constexpr int kHorizon = 360;

void SkyAndSea(TABitmap& pic, const Light& l, int horizon = kHorizon) {
    VerticalGradient(pic, 0, 0, kW, horizon, l.SkyTop, l.SkyBottom, 12);
    VerticalGradient(pic, 0, horizon, kW, kH - horizon, l.SeaTop, l.SeaBottom, 8);
    if (l.Night) {
        TRandom rnd(7);
        for (int i = 0; i < 140; ++i) {
            const double x = rnd.Uniform() * kW, y = rnd.Uniform() * (horizon - 40);
            FillCircle(pic, x, y, 0.6 + rnd.Uniform() * 1.2, {255, 255, 240}, 0.5 + rnd.Uniform() * 0.5);
        }
    }
    // Glints on the water.
    TRandom rnd(11);
    for (int i = 0; i < 60; ++i) {
        const double y = horizon + 8 + rnd.Uniform() * (kH - horizon - 16);
        const double x = rnd.Uniform() * kW, w = 10 + rnd.Uniform() * 40 * (y - horizon) / 200;
        Line(pic, x, y, x + w, y, 2, Mix(l.SeaTop, l.Sun, 0.6), 0.5);
    }
}

void SunOrMoon(TABitmap& pic, const Light& l, double x) {
    FillCircle(pic, x, l.SunY, 70, l.Sun, 0.15);
    FillCircle(pic, x, l.SunY, 46, l.Sun, 0.25);
    FillCircle(pic, x, l.SunY, 32, l.Sun, 1.0);
}

// A lighthouse standing on ground at (x, base), h tall.
void Lighthouse(TABitmap& pic, double x, double base, double h, const Light& l, bool lit) {
    const double w0 = h * 0.16, w1 = h * 0.10;
    const Rgb white = Mix(kCream, l.Land, l.Night ? 0.6 : 0.15), red = Mix(kCoral, l.Land, l.Night ? 0.6 : 0.15);
    FillPolygon(pic, {x - w0, base, x + w0, base, x + w1, base - h, x - w1, base - h}, white);
    for (int band = 0; band < 3; ++band) {
        const double y0 = base - h * (0.2 + 0.28 * band), y1 = y0 - h * 0.1;
        const double a0 = w0 - (w0 - w1) * (base - y0) / h, a1 = w0 - (w0 - w1) * (base - y1) / h;
        FillPolygon(pic, {x - a0, y0, x + a0, y0, x + a1, y1, x - a1, y1}, red);
    }
    FillRoundRect(pic, x - w1 * 1.3, base - h - h * 0.04, w1 * 2.6, h * 0.04, 2, Mix(kDeepNavy, l.Land, 0.3));
    FillRoundRect(pic, x - w1 * 0.8, base - h - h * 0.14, w1 * 1.6, h * 0.10, 3,
                  lit ? Rgb{255, 240, 170} : Mix(kSky, l.Land, 0.5));
    FillPolygon(pic, {x - w1 * 1.1, base - h - h * 0.14, x + w1 * 1.1, base - h - h * 0.14, x, base - h - h * 0.24},
                red);
    if (lit) {
        const double ly = base - h - h * 0.09;
        FillPolygon(pic, {x, ly - 6, x - 520, ly - 60, x - 520, ly + 50, x, ly + 6}, {255, 226, 140}, 0.38);
        FillPolygon(pic, {x, ly - 6, x + 520, ly - 40, x + 520, ly + 30, x, ly + 6}, {255, 226, 140}, 0.25);
        FillCircle(pic, x, ly, 26, {255, 240, 170}, 0.35);
    }
}

void House(TABitmap& pic, double x, double base, double w, double h, Rgb wall, Rgb roof, bool lit) {
    FillPolygon(pic, {x, base, x + w, base, x + w, base - h, x, base - h}, wall);
    FillPolygon(pic, {x - 6, base - h, x + w + 6, base - h, x + w / 2, base - h - h * 0.55}, roof);
    const Rgb win = lit ? Rgb{255, 214, 120} : Mix(wall, kDeepNavy, 0.45);
    FillRoundRect(pic, x + w * 0.2, base - h * 0.7, w * 0.22, h * 0.25, 2, win);
    FillRoundRect(pic, x + w * 0.58, base - h * 0.7, w * 0.22, h * 0.25, 2, win);
}

void Boat(TABitmap& pic, double x, double y, double s, Rgb hull, Rgb sail) {
    FillPolygon(pic, {x - 50 * s, y, x + 50 * s, y, x + 36 * s, y + 18 * s, x - 36 * s, y + 18 * s}, hull);
    Line(pic, x, y, x, y - 70 * s, 3 * s, Mix(hull, kDeepNavy, 0.4));
    FillPolygon(pic, {x + 3 * s, y - 66 * s, x + 3 * s, y - 8 * s, x + 44 * s, y - 8 * s}, sail);
}

void Harbour(TABitmap& pic, const Light& l, bool boatsHome) {
    SkyAndSea(pic, l);
    SunOrMoon(pic, l, 600);
    FillPolygon(pic, {0, 300, 160, 270, 360, 310, 500, 360, 0, 360}, l.Far);
    FillPolygon(pic, {600, 360, 640, 346, 760, 342, 800, 350, 800, 360}, l.Far);
    Lighthouse(pic, 690, 350, 120, l, false);  // dark until the story's last night
    FillPolygon(pic, {0, 400, 380, 400, 380, 600, 0, 600}, l.Land);
    FillPolygon(pic, {380, 470, 800, 470, 800, 490, 380, 490}, Mix(kWarmGrey, l.Land, 0.4));
    const Rgb walls[] = {kCream, kSand, {214, 226, 232}, {240, 200, 180}};
    const Rgb roofs[] = {kCoral, kTeal, kNavy, {160, 80, 70}};
    for (int i = 0; i < 6; ++i)
        House(pic, 10 + i * 62, 420 + (i % 2) * 30, 52, 60 + (i % 3) * 12, Mix(walls[i % 4], l.Land, l.Night ? 0.6 : 0.1),
              Mix(roofs[i % 4], l.Land, l.Night ? 0.6 : 0.1), l.Night);
    if (boatsHome) {
        Boat(pic, 470, 455, 0.9, Mix(kCream, l.Land, 0.2), Mix(kSand, l.Land, 0.2));
        Boat(pic, 600, 460, 0.7, Mix(kCoral, l.Land, 0.2), Mix(kCream, l.Land, 0.2));
    }
    if (l.Night)
        for (int i = 0; i < 4; ++i) {
            const double x = 420 + i * 100;
            Line(pic, x, 470, x, 410, 3, kDeepNavy);
            FillCircle(pic, x, 408, 30, {255, 220, 140}, 0.06);
            FillCircle(pic, x, 408, 18, {255, 220, 140}, 0.12);
            FillCircle(pic, x, 408, 6, {255, 230, 160});
        }
}

void HillRoad(TABitmap& pic, const Light& l) {
    SkyAndSea(pic, l, 300);
    SunOrMoon(pic, l, 160);
    Lighthouse(pic, 610, 190, 90, l, false);
    FillPolygon(pic, {0, 600, 0, 260, 300, 200, 560, 180, 700, 200, 800, 240, 800, 600}, l.Land);
    FillPolygon(pic, {0, 600, 0, 380, 400, 330, 800, 360, 800, 600}, Mix(l.Land, kDeepNavy, 0.2));
    FillPolygon(pic, {330, 600, 470, 600, 590, 200, 575, 200}, Mix(kSand, l.Land, 0.35));
    TRandom rnd(3);
    for (int i = 0; i < 90; ++i) {
        const double x = rnd.Uniform() * kW, y = 390 + rnd.Uniform() * 200;
        Line(pic, x, y, x + 3, y - 12, 2, Mix(l.Land, kSky, 0.3), 0.7);
    }
}

void Cliff(TABitmap& pic, const Light& l, bool lit) {
    SkyAndSea(pic, l);
    SunOrMoon(pic, l, 180);
    FillPolygon(pic, {330, 600, 380, 420, 470, 380, 800, 370, 800, 600}, l.Land);
    FillPolygon(pic, {330, 600, 380, 420, 420, 460, 400, 600}, Mix(l.Land, kDeepNavy, 0.3));
    Lighthouse(pic, 600, 400, 300, l, lit);
    FillRoundRect(pic, 660, 340, 46, 60, 4, Mix(kWarmGrey, l.Land, 0.3));
}

void Interior(TABitmap& pic, const Light& l) {
    const Rgb wall = Mix({180, 170, 150}, l.SkyTop, l.Night ? 0.6 : 0.15);
    VerticalGradient(pic, 0, 0, kW, kH, Mix(wall, kCream, 0.2), Mix(wall, kDeepNavy, 0.45), 10);
    for (int row = 0; row < 15; ++row)
        for (int col = 0; col < 10; ++col) {
            const double x = col * 84 + (row % 2) * 42, y = row * 40;
            StrokeRoundRect(pic, x, y, 84, 40, 3, 1.5, Mix(wall, kDeepNavy, 0.5), 0.35);
        }
    // A round window on the sea.
    FillCircle(pic, 560, 220, 110, Mix(wall, kDeepNavy, 0.6));
    TABitmap view = MakePicture(200, 200, l.SkyTop);
    VerticalGradient(view, 0, 0, 200, 110, l.SkyTop, l.SkyBottom, 6);
    VerticalGradient(view, 0, 110, 200, 90, l.SeaTop, l.SeaBottom, 4);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const double d = std::hypot(x - 99.5, y - 99.5);
            if (d < 96) {
                const uint8_t* p = view.Row(y) + x * 4;
                Blend(pic, 460 + x, 120 + y, {p[2], p[1], p[0]}, std::min(1.0, 96.0 - d));
            }
        }
    Line(pic, 560, 124, 560, 316, 6, Mix(wall, kDeepNavy, 0.6));
    Line(pic, 464, 220, 656, 220, 6, Mix(wall, kDeepNavy, 0.6));
    // The spiral stair.
    for (int i = 0; i < 12; ++i) {
        const double y = 590 - i * 42, x = 40 + (i % 6) * 40;
        FillPolygon(pic, {x, y, x + 170, y - 10, x + 170, y + 4, x, y + 14}, Mix(kWarmGrey, wall, 0.3));
    }
    Line(pic, 30, 0, 30, 600, 10, Mix(kWarmGrey, kDeepNavy, 0.4));
    // The great lens, waiting on the floor.
    FillEllipse(pic, 560, 500, 120, 70, Mix(kSky, wall, 0.3), 0.9);
    for (int k = 1; k < 5; ++k) StrokeRoundRect(pic, 560 - 120 + k * 20, 500 - 70 + k * 12, 240 - k * 40, 140 - k * 24,
                                                70 - k * 12, 2, kCream, 0.6);
    if (l.Night) FillCircle(pic, 300, 300, 200, {255, 210, 140}, 0.12);
}

void SunsetSea(TABitmap& pic, const Light& l) {
    SkyAndSea(pic, l, 380);
    SunOrMoon(pic, l, 400);
    for (int i = 0; i < 14; ++i) {
        const double y = 392 + i * 14, w = 30 + i * 14;
        Line(pic, 400 - w, y, 400 + w, y, 3, l.Sun, 0.45 - i * 0.025);
    }
    FillPolygon(pic, {0, 600, 0, 470, 160, 500, 260, 600}, Mix(l.Land, kDeepNavy, 0.4));
    Lighthouse(pic, 90, 490, 150, l, l.Night);
    for (int i = 0; i < 3; ++i) {
        const double x = 380 + i * 60;
        FillCircle(pic, x, 522, 12, kDeepNavy, 0.9);
        FillRoundRect(pic, x - 14, 532, 28, 60, 8, kDeepNavy, 0.9);
    }
}

void Moon(TABitmap& pic, const Light& l) {
    SkyAndSea(pic, l, 430);
    SunOrMoon(pic, l, 560);
    for (int i = 0; i < 10; ++i)
        Line(pic, 560 - 20 - i * 6, 440 + i * 15, 560 + 20 + i * 6, 440 + i * 15, 3, l.Sun, 0.4);
    FillPolygon(pic, {0, 600, 0, 400, 200, 380, 330, 430, 360, 600}, l.Land);
    Lighthouse(pic, 200, 392, 260, l, false);
}

void Homecoming(TABitmap& pic, const Light& l) {
    SkyAndSea(pic, l, 340);
    SunOrMoon(pic, l, 140);
    FillPolygon(pic, {500, 340, 640, 300, 800, 310, 800, 340}, l.Far);
    Lighthouse(pic, 700, 320, 80, l, false);
    Boat(pic, 380, 430, 1.6, Mix(kCream, l.Land, 0.1), Mix(kCoral, l.Land, 0.1));
    for (int i = 0; i < 5; ++i) Line(pic, 300 + i * 40, 465 + i * 4, 250 + i * 50, 470 + i * 6, 2, kCream, 0.5);
    FillPolygon(pic, {0, 600, 0, 520, 800, 540, 800, 600}, Mix(kWarmGrey, l.Land, 0.5));
}

using Painter = void (*)(TABitmap&, const Light&);

struct Place {
    const char* Name;
    Painter Paint;
    const Light* Lights[3];   // the picture, "_1", "_2"
};

const Place kPlaces[] = {
    {"01", [](TABitmap& p, const Light& l) { Harbour(p, l, true); }, {&kMorning, &kEvening, &kNoon}},
    {"02", HillRoad, {&kNoon, &kEvening, &kNight}},
    {"03", [](TABitmap& p, const Light& l) { Cliff(p, l, false); }, {&kEvening, &kNight, &kDawn}},
    {"04", Interior, {&kMorning, &kNight, &kEvening}},
    {"05", SunsetSea, {&kEvening, &kDawn, &kNight}},
    {"06", [](TABitmap& p, const Light& l) { Harbour(p, l, true); }, {&kNight, &kDawn, &kEvening}},
    {"07", Moon, {&kNight, &kDawn, &kEvening}},
    {"08", Homecoming, {&kMorning, &kNoon, &kEvening}},
};

}  // namespace

std::map<std::string, TABitmap> PaintBackgrounds() {
    std::map<std::string, TABitmap> out;
    for (const Place& place : kPlaces)
        for (int v = 0; v < 3; ++v) {
            TABitmap pic = MakePicture(kW, kH, kDeepNavy);
            const Light& l = *place.Lights[v];
            if (std::string(place.Name) == "03" && v == 1)
                Cliff(pic, l, true);  // the story's lit lighthouse
            else
                place.Paint(pic, l);
            std::string name(place.Name);
            if (v) {
                name += '_';
                name += std::to_string(v);
            }
            out[name] = std::move(pic);
        }
    // The first archive's early draft of the opening picture: the harbour without its light.
    TABitmap draft = MakePicture(kW, kH, kGrey);
    VerticalGradient(draft, 0, 0, kW, kH, {150, 150, 160}, {90, 90, 100}, 6);
    out["01_draft"] = std::move(draft);
    out["black"] = MakePicture(kW, kH, {0, 0, 0});
    return out;
}

}  // namespace orva::demo
