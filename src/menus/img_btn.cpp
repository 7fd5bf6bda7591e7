// The picture button's looks: under the cursor it shows PicUp, or PicDown while held; outside
// it shows Pic.
#include "menus/img_btn.h"

namespace orva {

void TImgBtn::SetPic(const TABitmap& pic) {
    Pic.Assign(pic);
    Picture.Assign(pic);
}

void TImgBtn::MouseMove(Point p) {
    const bool in = Contains(p);
    if (in && !Inside) MouseEnter();
    else if (!in && Inside) MouseLeave();
}

void TImgBtn::MouseEnter() {
    Inside = true;
    if (Supported) Picture.Assign(Held ? PicDown : PicUp);
    Fire(OnMouseEnter);
}

void TImgBtn::MouseLeave() {
    Inside = false;
    if (Supported) Picture.Assign(Pic);
    Fire(OnMouseLeave);
}

void TImgBtn::MouseDown(MouseButton button, Point p) {
    if (button != MouseButton::Left) return;
    if (!Inside && Contains(p)) MouseEnter();
    Held = true;
    if (Supported && Inside) Picture.Assign(PicDown);
    Fire(OnMouseDown);
}

void TImgBtn::MouseUp(MouseButton button, Point p) {
    if (button != MouseButton::Left || !Held) return;
    Held = false;
    if (Supported && Inside) Picture.Assign(PicUp);
    Fire(OnMouseUp);
    if (Contains(p)) Fire(OnClick);
}

}  // namespace orva
