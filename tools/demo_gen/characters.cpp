// The two speakers, Mina and Sota, as flat figures on a transparent 800 × 600 picture: the
// engine places the whole picture at x −200, 0 or 200, so the figure stands at x 400 inside it.
#include "assets.h"
#include "platform/screen_layout.h"

namespace orva::demo {
namespace {

constexpr Rgb kSkin{250, 222, 200};
constexpr Rgb kBlush{240, 160, 150};

struct Figure {
    double Top;        // top of the head
    double HeadR;      // head radius
    Rgb Hair, Cloth, Trim;
    bool LongHair;
};

void Face(TABitmap& pic, double cx, double cy, double r, bool smile, Rgb hair) {
    const Rgb eye = Mix(hair, kDeepNavy, 0.5);
    if (smile) {
        for (int s : {-1, 1}) {
            Line(pic, cx + s * r * 0.38 - 7, cy + 4, cx + s * r * 0.38, cy - 2, 3, eye);
            Line(pic, cx + s * r * 0.38, cy - 2, cx + s * r * 0.38 + 7, cy + 4, 3, eye);
        }
        FillEllipse(pic, cx, cy + r * 0.45, r * 0.2, r * 0.14, {200, 90, 90});
        FillEllipse(pic, cx, cy + r * 0.41, r * 0.2, r * 0.08, kSkin);
    } else {
        for (int s : {-1, 1}) {
            FillEllipse(pic, cx + s * r * 0.38, cy + 2, 6, 9, eye);
            FillCircle(pic, cx + s * r * 0.38 + 2, cy - 2, 2.2, kCream);
        }
        Line(pic, cx - 8, cy + r * 0.45, cx + 8, cy + r * 0.45, 2.5, {190, 100, 100});
    }
    for (int s : {-1, 1}) FillEllipse(pic, cx + s * r * 0.55, cy + r * 0.28, 10, 5, kBlush, 0.55);
}

TABitmap Paint(const Figure& f, bool smile) {
    TABitmap pic = MakePicture(kScreenWidth, kScreenHeight, {0, 0, 0}, true);
    const double cx = 400, headY = f.Top + f.HeadR;
    // Hair behind, then body, neck, head, fringe.
    if (f.LongHair) FillRoundRect(pic, cx - f.HeadR * 1.15, headY - f.HeadR, f.HeadR * 2.3, f.HeadR * 2.4, 40, f.Hair);
    const double shoulders = headY + f.HeadR * 1.35;
    FillPolygon(pic, {cx - 118, 600, cx + 118, 600, cx + 96, shoulders + 30, cx + 60, shoulders, cx - 60, shoulders,
                      cx - 96, shoulders + 30},
                f.Cloth);
    FillPolygon(pic, {cx - 60, shoulders, cx + 60, shoulders, cx, shoulders + 70}, f.Trim);
    FillRoundRect(pic, cx - 16, headY + f.HeadR * 0.7, 32, f.HeadR * 0.8, 10, Mix(kSkin, kWarmGrey, 0.12));
    FillPolygon(pic, {cx - 30, shoulders, cx + 30, shoulders, cx, shoulders + 40}, Mix(kSkin, kWarmGrey, 0.05));
    FillEllipse(pic, cx, headY, f.HeadR, f.HeadR * 1.08, kSkin);
    FillEllipse(pic, cx, headY - f.HeadR * 0.55, f.HeadR * 1.08, f.HeadR * 0.62, f.Hair);
    FillPolygon(pic, {cx - f.HeadR * 1.05, headY - f.HeadR * 0.3, cx - f.HeadR * 0.2, headY - f.HeadR * 0.5,
                      cx - f.HeadR * 0.9, headY + f.HeadR * 0.35},
                f.Hair);
    FillPolygon(pic, {cx + f.HeadR * 1.05, headY - f.HeadR * 0.3, cx + f.HeadR * 0.1, headY - f.HeadR * 0.5,
                      cx + f.HeadR * 0.9, headY + f.HeadR * 0.35},
                f.Hair);
    // A belt at the waist and the arms' edges give the body its shape.
    FillPolygon(pic, {cx - 104, 500, cx + 104, 500, cx + 106, 516, cx - 106, 516}, f.Trim);
    Line(pic, cx - 80, shoulders + 60, cx - 92, 600, 2, Mix(f.Cloth, kDeepNavy, 0.25));
    Line(pic, cx + 80, shoulders + 60, cx + 92, 600, 2, Mix(f.Cloth, kDeepNavy, 0.25));
    Face(pic, cx, headY + f.HeadR * 0.2, f.HeadR, smile, f.Hair);
    return pic;
}

}  // namespace

void PaintCharacters(const PictureSink& sink) {
    const Figure mina{170, 72, {96, 58, 40}, kCream, kNavy, true};
    const Figure sota{120, 70, {34, 34, 44}, kTeal, kCream, false};
    TABitmap m1 = Paint(mina, false), m2 = Paint(mina, true);
    // Mina's coral ribbon.
    for (TABitmap* p : {&m1, &m2}) {
        FillPolygon(*p, {430, 190, 470, 170, 465, 215}, kCoral);
        FillPolygon(*p, {430, 190, 395, 168, 400, 212}, kCoral);
    }
    sink("mina_1.png", m1, true);
    sink("mina_2.png", m2, true);
    sink("sota_1.png", Paint(sota, false), true);
    sink("sota_2.png", Paint(sota, true), true);
}

}  // namespace orva::demo
