// The system pictures: title and album menus, the message window with its parts sheet, the
// choice bars, the save, configuration and music menus, the galleries and the dialog. Every
// element sits exactly on the rectangle where the engine cuts it out of its sheet.
//
// Sections: [shared looks] [title and album] [message window] [choices] [save menu]
// [configuration] [dialog] [music room] [galleries] [all]
#include <array>
#include <cmath>
#include <string>

#include "assets.h"
#include "labels.h"
#include "platform/screen_layout.h"

namespace orva::demo {
namespace {

// [shared looks] ------------------------------------------------------------------------------

// The four looks of a button: normal, under the cursor, switched on, switched on and under
// the cursor; disabled is drawn separately.
enum class Look { Normal, Hover, On, OnHover, Disabled };

Rgb LookFill(Look look) {
    switch (look) {
    case Look::Normal: return kNavy;
    case Look::Hover: return kTeal;
    case Look::On: return kCoral;
    case Look::OnHover: return Mix(kCoral, kSand, 0.45);
    case Look::Disabled: return kGrey;
    }
    return kNavy;
}

Rgb LookText(Look look) { return look == Look::Disabled ? Rgb{200, 200, 204} : kCream; }

// A rounded button with its label, filling the box (x, y, w, h) of a sheet.
void Button(TABitmap& pic, int x, int y, int w, int h, std::string_view label, Look look, int textHeight,
            double radius = 6) {
    const double alpha = look == Look::Disabled ? 0.45 : 0.92;
    FillRoundRect(pic, x + 1, y + 1, w - 2, h - 2, radius, LookFill(look), alpha);
    const Rgb edge = look == Look::Normal ? Mix(kNavy, kSky, 0.45) : Mix(LookFill(look), kCream, 0.5);
    StrokeRoundRect(pic, x + 1, y + 1, w - 2, h - 2, radius, 1.2, edge, alpha);
    LabelStyle st;
    st.Height = textHeight;
    st.Bold = look == Look::Hover || look == Look::OnHover;
    st.Colour = LookText(look);
    st.Shadow = look != Look::Disabled;
    st.ShadowColour = Mix(LookFill(look), kDeepNavy, 0.6);
    DrawLabel(pic, x, y, w, h, label, st);
}

// The look of headings and titles: cream Mincho with a shadow, left-aligned.
LabelStyle HeadingStyle(int height) {
    LabelStyle st;
    st.Height = height;
    st.Mincho = true;
    st.Colour = kCream;
    st.Shadow = true;
    st.ShadowColour = kDeepNavy;
    st.Alignment = Align::Left;
    return st;
}

// A full-screen menu background: the given scene darkened, a heading band and a footer band.
TABitmap MenuBackground(const TABitmap& scene, std::string_view heading, bool withHeading = true) {
    TABitmap pic;
    pic.Assign(scene);
    for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x) Blend(pic, x, y, kDeepNavy, 0.55);
    if (withHeading) {
        FillRoundRect(pic, -10, 20, 360, 52, 14, kNavy, 0.85);
        Line(pic, 24, 66, 320, 66, 2, kCoral, 0.9);
        DrawLabel(pic, 32, 22, 300, 44, heading, HeadingStyle(30));
    }
    return pic;
}

// A transparent sheet of w × h.
TABitmap Sheet(int w, int h) { return MakePicture(w, h, {0, 0, 0}, true); }

// [title and album] ---------------------------------------------------------------------------

// A sheet of four 224 × 40 buttons in two columns, normal looks in rows 0 … 79 and the looks
// under the cursor in rows 80 … 159 (the title and album menus share this layout).
TABitmap FourButtonSheet(const std::array<const char*, 4>& labels) {
    TABitmap sheet = Sheet(448, 160);
    for (int item = 0; item < 4; ++item) {
        const int sx = (item % 2) * 224, sy = (item / 2) * 40;
        Button(sheet, sx, sy, 224, 40, labels[item], Look::Normal, 20, 10);
        Button(sheet, sx, sy + 80, 224, 40, labels[item], Look::Hover, 20, 10);
        FillPolygon(sheet, {sx + 14.0, sy + 80 + 20.0, sx + 22.0, sy + 80 + 12.0, sx + 30.0, sy + 80 + 20.0,
                            sx + 22.0, sy + 80 + 28.0},
                    kSand);
    }
    return sheet;
}

TABitmap TitlePicture(const TABitmap& scene) {
    TABitmap pic;
    pic.Assign(scene);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) Blend(pic, x, y, kDeepNavy, 0.15 + 0.35 * y / double(kScreenHeight));
    // The title's and the menu column's backings.
    FillRoundRect(pic, 28, 48, 440, 146, 20, kDeepNavy, 0.5);
    FillRoundRect(pic, 508, 172, 264, 248, 16, kDeepNavy, 0.45);
    DrawLabel(pic, 48, 60, 500, 80, "岬の帰り灯", HeadingStyle(64));
    LabelStyle sub;
    sub.Height = 20;
    sub.Colour = kSand;
    sub.Shadow = true;
    sub.Alignment = Align::Left;
    DrawLabel(pic, 56, 144, 420, 28, "みさきのかえりび　―　ひと夏の短い物語", sub);
    Line(pic, 52, 178, 420, 178, 2, kCoral, 0.9);
    sub.Height = 14;
    sub.Colour = kCream;
    DrawLabel(pic, 16, 570, 400, 20, "orva demo game", sub);
    return pic;
}

// [message window] ----------------------------------------------------------------------------

// The message window: a translucent panel with a name tab, in the design's colours.
TABitmap MessageWindow(Rgb panel, Rgb accent) {
    TABitmap pic = Sheet(kMsgWindowWidth, kMsgWindowHeight);
    FillRoundRect(pic, 8, 36, 784, 146, 14, panel, 0.86);
    StrokeRoundRect(pic, 8, 36, 784, 146, 14, 2, accent, 0.9);
    FillRoundRect(pic, 20, 2, 230, 34, 10, Mix(panel, accent, 0.25), 0.92);
    StrokeRoundRect(pic, 20, 2, 230, 34, 10, 1.5, accent, 0.9);
    Line(pic, 30, 168, 770, 168, 1, accent, 0.25);
    return pic;
}

// The message window over an opaque ground, the detached window's base strip.
TABitmap OpaqueStrip(const TABitmap& window, Rgb ground) {
    TABitmap strip = MakePicture(kMsgWindowWidth, kMsgWindowHeight, ground);
    window.DrawAlpha(0, 0, kMsgWindowWidth, kMsgWindowHeight, 0, 0, strip);
    SetTransparency(strip, [](int, int) { return uint8_t(0); });
    return strip;
}

TABitmap MessageParts(const TABitmap& windowB, const TABitmap& windowG) {
    TABitmap sheet = Sheet(800, 528);
    static const std::array<const char*, 10> kLabels = {"Qセーブ", "Qロード", "セーブ", "ロード", "ログ",
                                                         "ボイス", "音楽",    "オート", "スキップ", "設定"};
    const Look looks[5] = {Look::Normal, Look::Hover, Look::On, Look::OnHover, Look::Disabled};
    for (int s = 0; s < 5; ++s) {
        for (int i = 1; i <= 10; ++i) Button(sheet, 48 + 56 * (i - 1), 24 * s, 56, 24, kLabels[i - 1], looks[s], 11, 5);
        // Hide (a bar) and detach (two overlapping windows), 24 × 24.
        for (int b = 0; b < 2; ++b) {
            const int x = 24 * b, y = 24 * s;
            const double a = looks[s] == Look::Disabled ? 0.45 : 0.92;
            FillRoundRect(sheet, x + 1, y + 1, 22, 22, 5, LookFill(looks[s]), a);
            const Rgb ink = LookText(looks[s]);
            if (b == 0) {
                Line(sheet, x + 6, y + 12, x + 18, y + 12, 2.5, ink);
            } else {
                StrokeRoundRect(sheet, x + 5, y + 5, 10, 9, 1, 1.5, ink);
                StrokeRoundRect(sheet, x + 9, y + 10, 10, 9, 1, 1.5, ink);
            }
        }
    }
    // Click-wait icon: a small lamp whose beam turns once every eight frames.
    for (int f = 0; f < 8; ++f) {
        const double cx = 32 * f + 16, cy = 128 + 16;
        const double ang = f * 3.14159265358979 / 4;
        for (int k = 0; k < 8; ++k) {
            const double a = k * 3.14159265358979 / 4;
            const bool lit = k == f;
            FillCircle(sheet, cx + 11 * std::cos(a), cy + 11 * std::sin(a), lit ? 3.6 : 2.2, lit ? kCoral : kSand,
                       lit ? 1.0 : 0.55);
        }
        FillCircle(sheet, cx, cy, 4.5, kCream);
        Line(sheet, cx, cy, cx + 9 * std::cos(ang), cy + 9 * std::sin(ang), 2, kCoral, 0.8);
    }
    OpaqueStrip(windowB, kDeepNavy).CopyRect(0, 160, kMsgWindowWidth, kMsgWindowHeight, 0, 0, sheet);
    OpaqueStrip(windowG, {44, 40, 38}).CopyRect(0, 344, kMsgWindowWidth, kMsgWindowHeight, 0, 0, sheet);
    return sheet;
}

// [choices] -----------------------------------------------------------------------------------

// A choice bar: full width, solid in the middle, fading out towards both ends.
TABitmap ChoiceBar(Rgb fill, Rgb edge, double strength) {
    TABitmap bar = Sheet(kChoiceBarWidth, kChoiceBarHeight);
    for (int x = 0; x < 800; ++x) {
        const double d = std::abs(x - 399.5) / 400.0;
        const double a = strength * (d < 0.55 ? 1.0 : std::max(0.0, 1 - (d - 0.55) / 0.4));
        for (int y = 2; y < 38; ++y) Blend(bar, x, y, fill, a);
        Blend(bar, x, 2, edge, a);
        Blend(bar, x, 37, edge, a);
    }
    return bar;
}

// [save menu] ---------------------------------------------------------------------------------

TABitmap SaveMenu() {
    TABitmap pic = MakePicture(kScreenWidth, kScreenHeight, kDeepNavy);
    VerticalGradient(pic, 0, 0, kScreenWidth, kScreenHeight, kNavy, kDeepNavy, 10);
    SetTransparency(pic, [](int, int) { return uint8_t(20); });
    for (int i = 0; i < 10; ++i) {
        const int c = i % 2, r = i / 2;
        const int x = 40 + 368 * c, y = 80 + 88 * r;
        FillRoundRect(pic, x, y, 352, 80, 8, kNavy, 0.95);
        StrokeRoundRect(pic, x, y, 352, 80, 8, 1.5, Mix(kNavy, kSky, 0.5));
        FillRoundRect(pic, x + 4, y + 4, 96, 72, 2, {0, 0, 0});
        Line(pic, x + 112, y + 32, x + 340, y + 32, 1, Mix(kNavy, kSky, 0.4));
    }
    return pic;
}

TABitmap SaveParts() {
    TABitmap sheet = Sheet(800, 288);
    const Look tabLooks[4] = {Look::Normal, Look::Hover, Look::On, Look::OnHover};
    for (int k = 1; k <= 10; ++k)
        for (int s = 0; s < 4; ++s) Button(sheet, 40 * (k - 1), 32 * s, 40, 32, std::to_string(k), tabLooks[s], 16);
    Button(sheet, 400, 0, 96, 32, "コメント", Look::Normal, 15);
    Button(sheet, 400, 32, 96, 32, "コメント", Look::Hover, 15);
    Button(sheet, 592, 0, 96, 32, "もどる", Look::Normal, 15);
    Button(sheet, 592, 32, 96, 32, "もどる", Look::Hover, 15);
    FillRoundRect(sheet, 0, 128, 352, 80, 8, kCream);           // hover: drawn at opacity 64
    StrokeRoundRect(sheet, 0, 208, 352, 80, 8, 3, kCoral);       // selected: an outline
    FillRoundRect(sheet, 352, 256, 32, 16, 4, kCoral);
    LabelStyle mark;
    mark.Height = 11;
    mark.Bold = true;
    mark.Colour = kCream;
    DrawLabel(sheet, 352, 256, 32, 16, "NEW", mark);
    for (int m = 0; m < 2; ++m) {
        const int y = 128 + 64 * m;
        FillRoundRect(sheet, 352, y + 4, 256, 56, 10, kNavy, 0.6);
        const LabelStyle st = HeadingStyle(34);
        DrawLabel(sheet, 360, y + 8, 248, 44, m == 0 ? "セーブ" : "ロード", st);
        Line(sheet, 362, y + 56, 600, y + 56, 2, kCoral);
    }
    return sheet;
}

// [configuration] -----------------------------------------------------------------------------

void Caption(TABitmap& pic, int x, int y, int w, std::string_view text, Align align = Align::Left) {
    LabelStyle st;
    st.Height = 16;
    st.Bold = true;
    st.Colour = kSand;
    st.Shadow = true;
    st.Alignment = align;
    DrawLabel(pic, x, y, w, 24, text, st);
}

// A slider's groove under a knob that runs from x0 to x0 + 192 (plus its 16-pixel width).
void Groove(TABitmap& pic, int x0, int knobTop) {
    FillRoundRect(pic, x0, knobTop + 13, 208, 6, 3, kDeepNavy, 0.9);
    StrokeRoundRect(pic, x0, knobTop + 13, 208, 6, 3, 1, Mix(kNavy, kSky, 0.5));
}

TABitmap ConfigMenu() {
    TABitmap pic = MakePicture(kScreenWidth, kScreenHeight, kDeepNavy);
    VerticalGradient(pic, 0, 0, kScreenWidth, kScreenHeight, kNavy, kDeepNavy, 10);
    SetTransparency(pic, [](int, int) { return uint8_t(20); });
    DrawLabel(pic, 32, 30, 300, 44, "設定", HeadingStyle(30));
    Line(pic, 30, 74, 770, 74, 2, kCoral, 0.9);
    FillRoundRect(pic, 32, 92, 352, 440, 10, kNavy, 0.8);
    FillRoundRect(pic, 400, 92, 368, 440, 10, kNavy, 0.8);
    // Captions over the options and sliders (x, y, width): screen, sound and voice on the
    // left, text speeds, font, window and its opacity on the right.
    const struct {
        int X, Y, W;
        const char* Text;
    } captions[] = {
        {64, 108, 300, "画面モード"},
        {64, 172, 300, "画面効果"},
        {64, 284, 300, "音量"},
        {48, 320, 64, "音楽"},
        {48, 376, 64, "効果音"},
        {48, 432, 64, "音声"},
        {64, 462, 300, "ボイスの継続"},
        {416, 108, 300, "文字の速さ"},
        {416, 164, 300, "オートの速さ"},
        {416, 224, 300, "書体"},
        {416, 288, 300, "ウィンドウ"},
        {416, 348, 300, "ウィンドウの濃さ"},
    };
    for (const auto& c : captions) Caption(pic, c.X, c.Y, c.W, c.Text);
    for (int y : {316, 372, 428}) Groove(pic, 112, y);
    for (int y : {132, 188, 372}) Groove(pic, 480, y);
    return pic;
}

TABitmap ConfigParts(const TABitmap& windowB, const TABitmap& windowG) {
    TABitmap sheet = Sheet(800, 432);
    static const std::array<const char*, 10> kOptions = {"ウィンドウ", "フルスクリーン", "あり", "なし", "続ける",
                                                         "止める",     "明朝",           "ゴシック", "紺", "灰"};
    const Look looks[4] = {Look::Normal, Look::On, Look::Hover, Look::OnHover};
    for (int k = 1; k <= 10; ++k)
        for (int s = 0; s < 4; ++s)
            Button(sheet, 144 * ((k - 1) % 5), 32 * ((k - 1) / 5) + 64 * s, 144, 32, kOptions[k - 1], looks[s], 15);
    const struct {
        int X, W;
        const char* Label;
    } buttons[] = {{0, 160, "初期設定に戻す"}, {160, 96, "タイトル"}, {256, 96, "終了"}, {352, 96, "もどる"}};
    for (const auto& b : buttons) {
        Button(sheet, b.X, 256, b.W, 32, b.Label, Look::Normal, 15);
        Button(sheet, b.X, 288, b.W, 32, b.Label, Look::Hover, 15);
    }
    for (int s = 0; s < 2; ++s) {
        FillRoundRect(sheet, 449, 256 + 32 * s + 2, 14, 28, 5, s ? kCoral : kCream);
        StrokeRoundRect(sheet, 449, 256 + 32 * s + 2, 14, 28, 5, 1.2, kDeepNavy, 0.6);
    }
    // The window previews: each design shrunk to 304 × 112.
    for (int d = 0; d < 2; ++d) {
        const TABitmap& w = d ? windowG : windowB;
        TABitmap small = Sheet(304, 112);
        TABitmap::StretchBilinear(304, 112, w, 0, 0, kMsgWindowWidth, kMsgWindowHeight, 0, 0, small);
        small.CopyRect(304 * d, 320, 304, 112, 0, 0, sheet);
    }
    return sheet;
}

// [dialog] ------------------------------------------------------------------------------------

TABitmap QueryPicture() {
    TABitmap pic = MakePicture(320, 128, kNavy);
    VerticalGradient(pic, 0, 0, 320, 128, kNavy, kDeepNavy, 6);
    StrokeRoundRect(pic, 1, 1, 318, 126, 6, 2, kSand);
    return pic;
}

TABitmap QueryParts() {
    TABitmap sheet = MakePicture(320, 160, kNavy);
    VerticalGradient(sheet, 0, 0, 320, 96, kNavy, kDeepNavy, 6);
    const TABitmap ground = QueryPicture();
    ground.CopyRect(0, 0, 320, 96, 0, 32, sheet);  // button grounds match the dialog behind them
    for (int s = 0; s < 2; ++s) {
        Button(sheet, 0, 40 * s, 120, 40, "はい", s ? Look::Hover : Look::Normal, 18, 8);
        Button(sheet, 120, 40 * s, 120, 40, "いいえ", s ? Look::Hover : Look::Normal, 18, 8);
    }
    for (int q = 0; q < 2; ++q) {
        ground.CopyRect(0, 96 + 32 * q, 320, 32, 0, 24, sheet);
        LabelStyle st;
        st.Height = 18;
        st.Colour = kCream;
        st.Shadow = true;
        DrawLabel(sheet, 0, 96 + 32 * q, 320, 32, q ? "ゲームを終了しますか？" : "タイトルに戻りますか？", st);
    }
    SetTransparency(sheet, [](int, int) { return uint8_t(0); });
    return sheet;
}

// [music room] --------------------------------------------------------------------------------

const std::array<const char*, 7> kTrackTitles = {"潮風のプレリュード", "港町の朝", "岬への坂道", "灯台の修理",
                                                 "夕凪",               "夜の港",   "満月の灯"};

TABitmap MusicRoom(const TABitmap& scene) {
    TABitmap pic = MenuBackground(scene, "音楽鑑賞");
    FillRoundRect(pic, 340, 200, 408, 300, 10, kDeepNavy, 0.6);
    FillRoundRect(pic, 264, 82, 480, 70, 10, kDeepNavy, 0.6);
    return pic;
}

TABitmap MusicParts() {
    TABitmap sheet = Sheet(1536, 576);
    const Look looks[4] = {Look::Normal, Look::On, Look::Hover, Look::OnHover};
    for (int k = 1; k <= 7; ++k) {
        const int y = k == 7 ? 32 : 32 + 32 * k;
        std::string label = "0";
        label += std::to_string(k) + "　" + kTrackTitles[k - 1];
        for (int c = 0; c < 4; ++c) {
            Button(sheet, 384 * c, y, 384, 32, "", looks[c], 16);
            LabelStyle st;
            st.Height = 16;
            st.Colour = LookText(looks[c]);
            st.Bold = c >= 2;
            st.Alignment = Align::Left;
            DrawLabel(sheet, 384 * c + 16, y, 360, 32, label, st);
        }
    }
    // Controls: previous, stop, next (40 × 40) and back (96 × 32), then their hover forms.
    for (int h = 0; h < 2; ++h) {
        const int x0 = 768 * h;
        const Look look = h ? Look::Hover : Look::Normal;
        for (int b = 0; b < 3; ++b) Button(sheet, x0 + 40 * b, 256, 40, 40, "", look, 14, 8);
        const Rgb ink = kCream;
        FillPolygon(sheet, {x0 + 28.0, 266.0, x0 + 28.0, 286.0, x0 + 14.0, 276.0}, ink);   // previous
        Line(sheet, x0 + 12.0, 266, x0 + 12.0, 286, 3, ink);
        FillRoundRect(sheet, x0 + 52.0, 268, 16, 16, 2, ink);                            // stop
        FillPolygon(sheet, {x0 + 92.0, 266.0, x0 + 92.0, 286.0, x0 + 106.0, 276.0}, ink);  // next
        Line(sheet, x0 + 108.0, 266, x0 + 108.0, 286, 3, ink);
        Button(sheet, x0 + 120, 256, 96, 32, "もどる", look, 15);
    }
    LabelStyle head;
    head.Height = 16;
    head.Colour = kSand;
    head.Bold = true;
    head.Alignment = Align::Left;
    FillRoundRect(sheet, 0, 296, 464, 24, 6, kDeepNavy, 0.6);
    DrawLabel(sheet, 8, 296, 456, 24, "♪ 再生中の曲", head);
    for (int k = 1; k <= 7; ++k) {
        const int y = k == 7 ? 352 : 384 + 32 * (k - 1);
        FillRoundRect(sheet, 0, y, 464, 32, 6, kNavy, 0.6);
        const LabelStyle st = HeadingStyle(24);
        DrawLabel(sheet, 8, y, 456, 32, kTrackTitles[k - 1], st);
    }
    return sheet;
}

// [galleries] ---------------------------------------------------------------------------------

constexpr int kThumbX[4] = {120, 408, 120, 408}, kThumbY[4] = {96, 96, 320, 320};

// A gallery page: the menu background with the four items' thumbnails and their captions.
TABitmap GalleryPage(const TABitmap& scene, std::string_view heading, const std::array<const TABitmap*, 4>& thumbs,
                     const std::array<std::string, 4>& captions) {
    TABitmap pic = MenuBackground(scene, heading);
    for (int i = 0; i < 4; ++i) {
        FillRoundRect(pic, kThumbX[i] - 4, kThumbY[i] - 4, 275, 208, 6, kCream, 0.9);
        Scaled(*thumbs[i], 267, 200).CopyRect(kThumbX[i], kThumbY[i], 267, 200, 0, 0, pic);
        FillRoundRect(pic, kThumbX[i], kThumbY[i] + 176, 267, 24, 0, kDeepNavy, 0.6);
        LabelStyle st;
        st.Height = 14;
        st.Colour = kCream;
        DrawLabel(pic, kThumbX[i], kThumbY[i] + 176, 267, 24, captions[i], st);
    }
    return pic;
}

TABitmap GalleryParts(std::string_view coverLabel) {
    TABitmap sheet = Sheet(640, 528);
    const Look tabLooks[4] = {Look::Normal, Look::Hover, Look::On, Look::OnHover};
    for (int p = 0; p < 2; ++p)
        for (int s = 0; s < 4; ++s) Button(sheet, 40 * p, 32 * s, 40, 32, std::to_string(p + 1), tabLooks[s], 16);
    Button(sheet, 240, 0, 96, 32, "もどる", Look::Normal, 15);
    Button(sheet, 240, 32, 96, 32, "もどる", Look::Hover, 15);
    const int cx[4] = {0, 320, 0, 320}, cy[4] = {128, 128, 328, 328};
    for (int i = 0; i < 4; ++i) {
        TABitmap cover = MakePicture(267, 200, kNavy);
        VerticalGradient(cover, 0, 0, 267, 200, kNavy, kDeepNavy, 8);
        for (int k = -200; k < 267; k += 18) Line(cover, k, 200, k + 200, 0, 5, Mix(kNavy, kSky, 0.12));
        StrokeRoundRect(cover, 0, 0, 267, 200, 4, 2, Mix(kNavy, kSky, 0.5));
        LabelStyle st;
        st.Height = 40;
        st.Mincho = true;
        st.Colour = kSand;
        DrawLabel(cover, 0, 60, 267, 56, "？", st);
        st.Height = 16;
        st.Mincho = false;
        st.Colour = kCream;
        DrawLabel(cover, 0, 120, 267, 30, coverLabel, st);
        cover.CopyRect(cx[i], cy[i], 267, 200, 0, 0, sheet);
    }
    return sheet;
}

}  // namespace

// [all] ---------------------------------------------------------------------------------------

void PaintSystemPictures(const std::map<std::string, TABitmap>& bg, const PictureSink& sink) {
    sink("SysTitle.png", TitlePicture(bg.at("03_1")), false);
    sink("SysTitleP.png", FourButtonSheet({"はじめから", "つづきから", "アルバム", "おわる"}), true);
    sink("SysAlbum.png", MenuBackground(bg.at("05"), "アルバム"), false);
    sink("SysAlbumP.png", FourButtonSheet({"ギャラリー", "シーン回想", "音楽鑑賞", "もどる"}), true);

    const TABitmap windowB = MessageWindow(kNavy, Mix(kSky, kNavy, 0.3));
    const TABitmap windowG = MessageWindow(kWarmGrey, kSand);
    sink("SysMsgWinB.png", windowB, true);
    sink("SysMsgWinG.png", windowG, true);
    sink("SysMsgWinP.png", MessageParts(windowB, windowG), true);
    sink("SysSelWin.png", ChoiceBar(kNavy, Mix(kSky, kNavy, 0.3), 0.85), true);
    sink("SysSelWinH.png", ChoiceBar(kCoral, kSand, 0.92), true);

    sink("SysSave.png", SaveMenu(), true);
    sink("SysSaveP.png", SaveParts(), true);
    sink("SysConfig.png", ConfigMenu(), true);
    sink("SysConfigP.png", ConfigParts(windowB, windowG), true);
    sink("SysQuery.png", QueryPicture(), false);
    sink("SysQueryP.png", QueryParts(), true);

    sink("SysBgm1.png", MusicRoom(bg.at("07")), false);
    sink("SysBgmP.png", MusicParts(), true);

    // Gallery pages hold items "01", "02", "05", "07" and "03", "04", "06", "08"; scene pages
    // hold scenes 101 … 104 and 105 … 108.
    const std::array<std::array<const char*, 4>, 2> cg = {{{"01", "02", "05", "07"}, {"03", "04", "06", "08"}}};
    const std::array<const char*, 8> sceneBg = {"02", "03", "05", "06", "07", "03_1", "08", "01_2"};
    const std::array<const char*, 8> sceneTitles = {"岬への坂道", "灯台の少年", "夕日の約束", "帰り灯",
                                                    "満月の夜",   "灯りがともる", "帰ってきた船", "来年の夏"};
    for (int page = 0; page < 2; ++page) {
        std::array<const TABitmap*, 4> thumbs{}, scenes{};
        std::array<std::string, 4> cgCaptions, sceneCaptions;
        for (int i = 0; i < 4; ++i) {
            thumbs[i] = &bg.at(cg[page][i]);
            cgCaptions[i] = std::string("ＣＧ ") + cg[page][i];
            scenes[i] = &bg.at(sceneBg[page * 4 + i]);
            sceneCaptions[i] = sceneTitles[page * 4 + i];
        }
        const std::string n = std::to_string(page + 1);
        sink("SysCgAlbum" + n + ".png", GalleryPage(bg.at("04"), "ギャラリー", thumbs, cgCaptions), false);
        sink("SysEvAlbum" + n + ".png", GalleryPage(bg.at("06"), "シーン回想", scenes, sceneCaptions), false);
    }
    sink("SysCgAlbumP.png", GalleryParts("まだ見ていない絵"), true);
    sink("SysEvAlbumP.png", GalleryParts("まだ見ていない場面"), true);
}

}  // namespace orva::demo
