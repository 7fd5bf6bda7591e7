// The confirmation dialog: its pictures, the question strip and the two picture buttons. The
// plain built-in look stands in for a picture the game does not provide.
#include "menus/query_form.h"

namespace orva {
namespace {

// A w×h piece of src at (sx, sy); empty when src does not hold the whole piece.
TABitmap Piece(const TABitmap& src, int sx, int sy, int w, int h) {
    TABitmap out;
    if (src.Width() < sx + w || src.Height() < sy + h) return out;
    out.SetSize32(w, h);
    src.CopyRect(0, 0, w, h, sx, sy, out);
    return out;
}

TABitmap Plain(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    TABitmap out(w, h);
    out.FillColor(r, g, b);
    return out;
}

}  // namespace

TQueryForm::TQueryForm() { FormCreate(nullptr, nullptr); }

void TQueryForm::FormCreate(const TABitmap* background, const TABitmap* parts) {
    Background.SetSize32(kWidth, kHeight);
    Background.FillColor(40, 40, 56);
    if (background && background->IsReady()) background->CopyRect(0, 0, kWidth, kHeight, 0, 0, Background);
    Parts = TABitmap();
    if (parts && parts->IsReady()) Parts.Assign(*parts);

    struct Look {
        TImgBtn& Button;
        int X, SourceX;
    };
    for (const Look& l : {Look{ImgBtn1, kYesX, 0}, Look{ImgBtn2, kNoX, 120}}) {
        TABitmap normal = Piece(Parts, l.SourceX, 0, kButtonW, kButtonH);
        TABitmap lit = Piece(Parts, l.SourceX, 40, kButtonW, kButtonH);
        if (!normal.IsReady()) normal = Plain(kButtonW, kButtonH, 96, 112, 160);
        if (!lit.IsReady()) lit = Plain(kButtonW, kButtonH, 144, 160, 208);
        l.Button.SetBounds(l.X, kButtonY, kButtonW, kButtonH);
        l.Button.SetPic(normal);
        l.Button.SetPicUp(lit);
        l.Button.SetPicDown(lit);
    }
    ImgBtn1.OnClick = [this] { ImgBtn1Click(); };
    ImgBtn2.OnClick = [this] { ImgBtn2Click(); };
    Image1.Assign(Background);
}

void TQueryForm::Open(QueryStrip strip) {
    QueryResult = 0;
    Done = false;
    Image1.Assign(Background);
    const int sy = static_cast<int>(strip);
    if (Parts.Width() >= kWidth && Parts.Height() >= sy + kStripH)
        Parts.CopyRect(0, kStripY, kWidth, kStripH, 0, sy, Image1);
    // A dialog shown again starts with both buttons in their normal look.
    for (TImgBtn* b : {&ImgBtn1, &ImgBtn2})
        if (b->IsInside()) b->MouseLeave();
}

void TQueryForm::MouseMove(Point p) {
    ImgBtn1.MouseMove(p);
    ImgBtn2.MouseMove(p);
}

void TQueryForm::MouseDown(MouseButton button, Point p) {
    MouseMove(p);
    for (TImgBtn* b : {&ImgBtn1, &ImgBtn2})
        if (b->Contains(p)) b->MouseDown(button, p);
}

void TQueryForm::MouseUp(MouseButton button, Point p) {
    MouseMove(p);
    for (TImgBtn* b : {&ImgBtn1, &ImgBtn2})
        if (b->IsHeld()) b->MouseUp(button, p);
}

const TABitmap& TQueryForm::Screen() {
    Composed.Assign(Image1);
    for (const TImgBtn* b : {&ImgBtn1, &ImgBtn2})
        b->Shown().CopyRect(b->Left, b->Top, b->Width, b->Height, 0, 0, Composed);
    return Composed;
}

}  // namespace orva
