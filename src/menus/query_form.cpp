// The confirmation dialog's hit areas and its plain look (the game's own dialog pictures are
// drawn over it when the game provides them).
#include "menus/query_form.h"

namespace orva {

TQueryForm::TQueryForm() { Paint(); }

void TQueryForm::Paint() {
    Image1.SetSize32(kWidth, kHeight);
    Image1.FillColor(40, 40, 56);
    Image1.FillRect(kYesX, kButtonY, kButtonW, kButtonH, 96, 112, 160);
    Image1.FillRect(kNoX, kButtonY, kButtonW, kButtonH, 96, 112, 160);
}

void TQueryForm::Open() {
    QueryResult = 0;
    Done = false;
    Held = 0;
}

int TQueryForm::ButtonAt(Point p) {
    if (p.Y < kButtonY || p.Y >= kButtonY + kButtonH) return 0;
    if (p.X >= kYesX && p.X < kYesX + kButtonW) return 1;
    if (p.X >= kNoX && p.X < kNoX + kButtonW) return 2;
    return 0;
}

void TQueryForm::MouseDown(MouseButton button, Point p) {
    if (button == MouseButton::Left) Held = ButtonAt(p);
}

void TQueryForm::MouseUp(MouseButton button, Point p) {
    if (button != MouseButton::Left) return;
    const int at = ButtonAt(p);
    if (at != 0 && at == Held) Answer(at == 1 ? 1 : 0);
    Held = 0;
}

}  // namespace orva
