// TMsgForm: the detached message window, an 800×184 borderless window kept on top of the main
// window and dragged by its top 32 rows (the platform's window does both). While the player has
// detached the message window, every painted frame presents WindowBuffer in it.
#pragma once

#include "platform/platform.h"
#include "platform/screen_layout.h"

namespace orva {

class TMsgForm {
public:
    static constexpr Point kPlace{0, kMsgWindowTop};   // the main window's client point it first covers

    // `visible` is the main form's record of whether the window is shown.
    TMsgForm(Platform& platform, bool& visible) : Plat(platform), Visible(visible) {}

    // Shows the window with its client area over the main window's (0, 416), where the message
    // window is drawn while attached.
    void FormShow();
    void Hide();

private:
    Platform& Plat;
    bool& Visible;
};

}  // namespace orva
