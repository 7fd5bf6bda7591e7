// TImgBtn: a picture button with three looks (normal, pressed, under the cursor). It follows
// the cursor and the left button the way an image control does and shows the matching look.
#pragma once

#include <functional>

#include "graphics/abitmap.h"
#include "platform/platform.h"

namespace orva {

class TImgBtn {
public:
    int Left = 0, Top = 0, Width = 0, Height = 0;   // place in the owner's client area
    bool Supported = true;                          // false: a plain image, no looks change
    std::function<void()> OnMouseDown, OnMouseEnter, OnMouseLeave, OnMouseUp;
    std::function<void()> OnClick;                  // left down and up both on the button

    void SetBounds(int left, int top, int width, int height) {
        Left = left, Top = top, Width = width, Height = height;
    }
    bool Contains(Point p) const { return p.X >= Left && p.X < Left + Width && p.Y >= Top && p.Y < Top + Height; }

    // Shows the picture and keeps a copy as the normal look.
    void SetPic(const TABitmap& pic);
    // Keep copies as the pressed and the under-the-cursor looks; nothing changes on screen.
    void SetPicDown(const TABitmap& pic) { PicDown.Assign(pic); }
    void SetPicUp(const TABitmap& pic) { PicUp.Assign(pic); }
    const TABitmap& Shown() const { return Picture; }   // what the button shows now

    // The image control's events. MouseMove turns cursor positions into enter and leave.
    void MouseMove(Point p);
    void MouseEnter();
    void MouseLeave();
    void MouseDown(MouseButton button, Point p);   // p inside the button
    void MouseUp(MouseButton button, Point p);     // the button that took the down gets the up

    bool IsInside() const { return Inside; }
    bool IsHeld() const { return Held; }

private:
    static void Fire(const std::function<void()>& f) { if (f) f(); }
    TABitmap Pic, PicDown, PicUp, Picture;
    bool Inside = false;   // the cursor is over the button
    bool Held = false;     // the left button went down on it and is not up yet
};

}  // namespace orva
