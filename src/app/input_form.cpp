// Keyboard and mouse: window events set latches; once per frame NOVL_CheckKeyPush turns them and
// the keys' current states into the input flags and keeps the skip state in step.
#include "app/main_form.h"

namespace orva {

void TForm1::FormMouseDown(MouseButton button, Point) {
    // The back button only asks for a rollback; it is no press on the scene.
    if (button == MouseButton::Back) {
        Input.LatchBack = true;
        return;
    }
    Input.LatchLeftDown = false;
    Input.LatchLeftUp = false;
    Input.LatchLeftDown = button == MouseButton::Left;
    // Any press on the main window ends auto mode and the skip-read mode.
    Skip.SkipReadRequested = false;
    Skip.AutoMode = false;
}

void TForm1::FormMouseUp(MouseButton button, Point) {
    if (button == MouseButton::Back) return;
    Input.LatchLeftUp = button == MouseButton::Left;
}

void TForm1::FormMouseWheel(int direction) {
    if (direction > 0) Input.LatchWheelUp = true;
    else if (direction < 0) Input.LatchWheelDown = true;
}

// Presses in the detached window's top 32 rows drag it; the platform's hit test moves the window
// without delivering them, and any that still arrive set no latch.
void TForm1::MsgFormMouseDown(MouseButton button, Point p) {
    if (button == MouseButton::Back) {
        Input.LatchBack = true;
        return;
    }
    if (p.Y <= 32) return;
    Input.LatchLeftDown = button == MouseButton::Left;
}

void TForm1::MsgFormMouseWheel(int direction) { FormMouseWheel(direction); }

void TForm1::NOVL_ClearKey() { Input.ClearKeys(); }

void TForm1::NOVL_ClearMouseButton() { Input.ConsumeClick(); }

void TForm1::NOVL_CheckKeyPush() {
    const WindowId fg = Plat.Foreground();
    if (fg == WindowId::Main || fg == WindowId::Msg) {
        NOVL_ClearKey();
        if (Input.LatchLeftDown) Input.MouseLeftClick = true;
        if (Input.LatchLeftUp) Input.MouseLeftRelease = true;

        const bool ready = Input.KeyRepeatDelay == 0;
        // Alt+Return switches the display mode once per press of the pair, however long it is
        // held and whatever the repeat delay: switching on every pass would flicker and leave
        // the mode to the length of the keystroke.
        const bool altReturn = Plat.KeyDown(Key::Alt) && Plat.KeyDown(Key::Return);
        if (altReturn && !Input.AltReturnHeld) {
            if (Config.ScreenMode == 1) ReturnFullModeWin();
            else FullModeWin();
            Config.ScreenMode = Config.ScreenMode == 1 ? 0 : 1;
        }
        Input.AltReturnHeld = altReturn;
        if (ready) {
            if (Plat.KeyDown(Key::Space)) Input.KeySpace = true;
            if (Plat.KeyDown(Key::Return)) Input.KeyEnter = true;
            if (Plat.KeyDown(Key::PageUp) || Plat.KeyDown(Key::F1)) Input.KeyLogBack = true;
            if (Plat.KeyDown(Key::PageDown) || Plat.KeyDown(Key::F2)) Input.KeyLogForward = true;
        }
        if (Skip.ControlSkipEnabled && Plat.KeyDown(Key::Ctrl)) Input.KeyCtrl = true;
        if (Input.LatchWheelUp) Input.KeyLogBack = true;
        if (Input.LatchWheelDown) Input.KeyLogForward = true;
        Input.SampleBackspace(Plat.KeyDown(Key::Backspace));

        // The skip state follows the keys.
        const bool advance = Input.KeyEnter || Input.KeyCtrl || Input.KeySpace || Input.MouseLeftClick;
        if (EngineMode == Mode::Script) Skip.SkipActive = Input.KeyCtrl;
        if (advance) Skip.SkipReadRequested = false;
        if (Skip.SkipReadRequested || Skip.FastSkip) Skip.SkipActive = true;
        if (!Game.SkipAllowed) Skip.SkipReadRequested = Skip.FastSkip = Skip.SkipActive = false;
        if (Skip.SkippableSection) {
            if (advance) Skip.SectionSkipRequested = true;
            Skip.FastSkip = Skip.SkipActive = Skip.SectionSkipRequested;
        }
    }
    CheckScreenshotKey();
    // Latches live until the end of the next sampling, whoever has the focus.
    Input.LatchWheelDown = Input.LatchWheelUp = Input.LatchLeftUp = Input.LatchLeftDown = false;
    Input.LatchBack = false;
    Input.CursorMain = Plat.CursorIn(WindowId::Main);
    Input.CursorMsgWin = Plat.CursorIn(WindowId::Msg);
}

}  // namespace orva
