// Hit tests of the save and title menus.
#include "menus/menu_layout.h"

namespace orva {
namespace {

bool Inside(Point p, int x, int y, int w, int h) { return p.X >= x && p.X < x + w && p.Y >= y && p.Y < y + h; }

}  // namespace

Point SaveSlotPlace(int position) {
    const int c = (position - 1) % 2, r = (position - 1) / 2;
    return {40 + 368 * c, 80 + 88 * r};
}

int SaveMenuHitTest(Point p) {
    int hover = 0;
    for (int i = 1; i <= kSlotsPerPage; ++i) {
        const Point at = SaveSlotPlace(i);
        if (Inside(p, at.X, at.Y, 352, 80)) hover = i;
    }
    for (int k = 1; k <= kSavePages; ++k)
        if (Inside(p, 32 + 40 * (k - 1), 544, 40, 32)) hover = kHoverFirstTab + k - 1;
    if (Inside(p, 568, 544, 96, 32)) hover = kHoverCommentButton;
    if (Inside(p, 672, 544, 96, 32)) hover = kHoverBackButton;
    return hover;
}

int TitleMenuHitTest(Point p) {
    for (int i = 0; i < 4; ++i)
        if (Inside(p, kTitleButtons[i].X, kTitleButtons[i].Y, kTitleButtonW, kTitleButtonH)) return i + 1;
    return 0;
}

}  // namespace orva
