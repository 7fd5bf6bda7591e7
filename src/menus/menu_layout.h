// Where the save menu's and the title menu's elements lie on the 800×600 screen, and which
// one the cursor is over. Rectangles are half-open.
#pragma once

#include "platform/platform.h"

namespace orva {

// Save menu elements under the cursor (MenuHover): 1..10 slots of the page, 21..30 page tabs
// 1..10, 91 the comment button, 99 the back button, 0 none.
inline constexpr int kHoverCommentButton = 91, kHoverBackButton = 99, kHoverFirstTab = 21;
inline constexpr int kSlotsPerPage = 10, kSavePages = 10;

// Top-left of position i (1..10) of the page: two columns, five rows.
Point SaveSlotPlace(int position);
int SaveMenuHitTest(Point p);

// Title menu buttons: 1 new game, 2 load, 3 album, 4 exit, each 224×40.
struct TitleButton {
    int X, Y;             // screen place
    int NormalX, NormalY; // look in the button sheet
    int HoverX, HoverY;
};
inline constexpr int kTitleButtonW = 224, kTitleButtonH = 40;
inline constexpr TitleButton kTitleButtons[4] = {
    {528, 192, 0, 0, 0, 80},
    {528, 248, 224, 0, 224, 80},
    {528, 304, 0, 40, 0, 120},
    {528, 360, 224, 40, 224, 120},
};
int TitleMenuHitTest(Point p);

}  // namespace orva
