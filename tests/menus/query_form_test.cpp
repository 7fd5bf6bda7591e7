// The confirmation dialog and its picture buttons: looks under the cursor and while held,
// what counts as a click, the question strips and the plain look without pictures.
#include <gtest/gtest.h>

#include "menus/img_btn.h"
#include "menus/query_form.h"

namespace orva {
namespace {

TABitmap Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    TABitmap pic(w, h);
    pic.FillColor(r, g, b);
    return pic;
}

uint32_t At(const TABitmap& pic, int x, int y) { return pic.Pixels()[y * pic.Width() + x] & 0xFFFFFFu; }

TEST(ImgBtn, LooksFollowTheCursorAndTheHeldButtonAndAClickNeedsDownAndUpOnIt) {
    TImgBtn b;
    b.SetBounds(10, 10, 20, 20);
    b.SetPic(Solid(20, 20, 1, 0, 0));
    b.SetPicUp(Solid(20, 20, 2, 0, 0));
    b.SetPicDown(Solid(20, 20, 3, 0, 0));
    int clicks = 0, enters = 0, leaves = 0;
    b.OnClick = [&] { ++clicks; };
    b.OnMouseEnter = [&] { ++enters; };
    b.OnMouseLeave = [&] { ++leaves; };
    auto look = [&] { return At(b.Shown(), 0, 0) >> 16; };

    EXPECT_EQ(look(), 1u);
    b.MouseMove({15, 15});
    EXPECT_EQ(look(), 2u);
    b.MouseMove({16, 16});                     // still inside: no second enter
    EXPECT_EQ(enters, 1);
    b.MouseDown(MouseButton::Left, {16, 16});
    EXPECT_EQ(look(), 3u);
    b.MouseMove({50, 50});                     // dragged out while held
    EXPECT_EQ(look(), 1u);
    b.MouseMove({12, 12});                     // and back in: pressed again
    EXPECT_EQ(look(), 3u);
    b.MouseUp(MouseButton::Left, {12, 12});
    EXPECT_EQ(look(), 2u);
    EXPECT_EQ(clicks, 1);

    b.MouseDown(MouseButton::Left, {12, 12});  // down on it, up elsewhere: no click
    b.MouseMove({50, 50});
    b.MouseUp(MouseButton::Left, {50, 50});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(look(), 1u);
    EXPECT_EQ(leaves, 2);
    b.MouseDown(MouseButton::Right, {12, 12}); // only the left button presses
    EXPECT_FALSE(b.IsHeld());

    TImgBtn plain;                             // not Supported: a plain image
    plain.Supported = false;
    plain.SetBounds(0, 0, 20, 20);
    plain.SetPic(Solid(20, 20, 1, 0, 0));
    plain.SetPicUp(Solid(20, 20, 2, 0, 0));
    plain.MouseMove({5, 5});
    plain.MouseDown(MouseButton::Left, {5, 5});
    EXPECT_EQ(At(plain.Shown(), 0, 0) >> 16, 1u);
}

TEST(QueryForm, TheGamesPicturesTheStripAndTheAnswers) {
    TABitmap background = Solid(320, 128, 10, 10, 10);
    TABitmap parts(320, 160);
    parts.FillColor(0, 0, 0);
    parts.FillRect(0, 0, 120, 40, 20, 0, 0);     // yes, normal
    parts.FillRect(0, 40, 120, 40, 21, 0, 0);    // yes, lit
    parts.FillRect(120, 0, 120, 40, 30, 0, 0);   // no, normal
    parts.FillRect(120, 40, 120, 40, 31, 0, 0);  // no, lit
    parts.FillRect(0, 96, 320, 32, 40, 0, 0);    // the title question
    parts.FillRect(0, 128, 320, 32, 50, 0, 0);   // the quit question

    TQueryForm q;
    q.FormCreate(&background, &parts);
    q.Open(QueryStrip::Quit);
    EXPECT_EQ(At(q.Screen(), 5, 30) >> 16, 50u);
    EXPECT_EQ(At(q.Screen(), 5, 5) >> 16, 10u);
    EXPECT_EQ(At(q.Screen(), 40, 70) >> 16, 20u);
    EXPECT_EQ(At(q.Screen(), 170, 70) >> 16, 30u);
    q.MouseMove({200, 80});
    EXPECT_EQ(At(q.Screen(), 170, 70) >> 16, 31u);

    q.MouseDown(MouseButton::Left, {200, 80});   // no
    q.MouseUp(MouseButton::Left, {200, 80});
    EXPECT_TRUE(q.Answered());
    EXPECT_EQ(q.QueryResult, 0);

    q.Open(QueryStrip::Title);                   // shown again: normal looks, the other strip
    EXPECT_FALSE(q.Answered());
    EXPECT_EQ(At(q.Screen(), 5, 30) >> 16, 40u);
    EXPECT_EQ(At(q.Screen(), 170, 70) >> 16, 30u);
    q.MouseDown(MouseButton::Left, {40, 70});    // pressed on yes, let go on no: nothing
    q.MouseUp(MouseButton::Left, {200, 80});
    EXPECT_FALSE(q.Answered());
    q.MouseDown(MouseButton::Left, {151, 103});  // yes: its last pixel
    q.MouseUp(MouseButton::Left, {151, 103});
    EXPECT_TRUE(q.Answered());
    EXPECT_EQ(q.QueryResult, 1);

    TQueryForm plain;                            // no pictures: the built-in look still works
    plain.FormCreate(nullptr, nullptr);
    plain.Open(QueryStrip::Quit);
    EXPECT_EQ(plain.Screen().Width(), 320);
    plain.MouseDown(MouseButton::Left, {32, 64});
    plain.MouseUp(MouseButton::Left, {32, 64});
    EXPECT_EQ(plain.QueryResult, 1);
}

}  // namespace
}  // namespace orva
