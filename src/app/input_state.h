// The input and skip state groups: what the player's keys and mouse have asked for this pass,
// and the skip and auto modes that follow them. Input sampling (app/input_form.cpp) fills them; every
// other subsystem changes them only through the operations below, so each way of using up an
// input or stopping a skip is written once.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace orva {

inline constexpr int32_t kKeyRepeatTicks = 10;   // 10-ms ticks a used key is ignored while held

// Keyboard and mouse: per-frame flags, event latches and the cursor.
struct InputState {
    bool KeyEnter = false;         // advance
    bool KeyCtrl = false;          // held skip
    bool KeySpace = false;         // hide or show the message window
    bool KeyLogBack = false;       // one message back in the log review
    bool KeyLogForward = false;    // one message forward
    bool KeyRollback = false;      // back to the message before (Backspace, the back button)
    bool MouseLeftClick = false;   // left button went down since the last consumer
    bool MouseLeftRelease = false; // left button went up over the main window
    bool LatchLeftDown = false;    // event latches, cleared at the end of every sampling
    bool LatchLeftUp = false;
    bool LatchWheelUp = false;
    bool LatchWheelDown = false;
    Point CursorMain;              // cursor in the main window's client area
    Point CursorMsgWin;            // cursor in MsgForm's client area
    int32_t KeyRepeatDelay = 0;    // 10-ms ticks during which keys set no flag (Ctrl exempt)
    bool AltReturnHeld = false;    // Alt and Return were both down at the last sampling
    bool BackspaceHeld = false;    // Backspace was down at the last sampling
    bool LatchBack = false;        // the mouse's back button went down since the last sampling

    // Return or a click has been acted on: both are used up, and a held key is ignored for
    // the repeat delay.
    void Consume() {
        KeyRepeatDelay = kKeyRepeatTicks;
        MouseLeftClick = KeyEnter = false;
    }
    // The same, where only Return (not a click) starts the repeat delay.
    void ConsumeAdvance() {
        if (KeyEnter) KeyRepeatDelay = kKeyRepeatTicks;
        MouseLeftClick = KeyEnter = false;
    }
    // Return and a click are dropped without delaying the keys.
    void DropAdvance() { MouseLeftClick = KeyEnter = false; }
    // A key other than Return was acted on: held keys are ignored for the repeat delay.
    void HoldKeys() { KeyRepeatDelay = kKeyRepeatTicks; }
    // A click was taken by a button or a menu element.
    void ConsumeClick() { MouseLeftClick = false; }
    // A release was taken (a slider's drag or a menu's press ends with it).
    void ConsumeRelease() {
        MouseLeftRelease = false;
        LatchLeftUp = false;
    }
    // A window button acts like a key for the message wait.
    void PressEnter() { KeyEnter = true; }
    void PressSpace() { KeySpace = true; }
    void PressLogBack() { KeyLogBack = true; }
    // A rollback is asked for (another input device may ask for it the same way).
    void PressRollback() { KeyRollback = true; }
    // Backspace rolls back once per press, however long it is held.
    void SampleBackspace(bool down) {
        if ((down && !BackspaceHeld) || LatchBack) KeyRollback = true;
        BackspaceHeld = down;
    }
    // The key flags of the last sampling are gone.
    void ClearKeys() {
        KeyEnter = KeyCtrl = KeySpace = false;
        KeyLogBack = KeyLogForward = KeyRollback = false;
    }
    // The 10-ms timer counts the repeat delay down.
    void TickRepeatDelay() { KeyRepeatDelay = KeyRepeatDelay > 0 ? KeyRepeatDelay - 1 : 0; }
};

// Skip and auto modes.
struct SkipState {
    bool SkipActive = false;           // messages pass without waiting
    bool SkipReadRequested = false;    // the skip-read button is on
    bool FastSkip = false;             // skip without drawing
    bool AutoMode = false;             // messages advance by themselves
    bool ControlSkipEnabled = false;   // Ctrl counts (set by the initialisation pass)
    bool SkippableSection = false;     // any advance input skips the section
    bool SectionSkipRequested = false; // an advance input arrived inside the section

    void StartAuto() { AutoMode = true; }
    void StopAuto() { AutoMode = false; }
    // The skip-read button: messages pass until the first one not read before.
    void RequestSkipRead() { SkipReadRequested = true; }
    // Both skips stop at a message not read before (`read` false) and go on over one read.
    void FollowReadText(bool read) {
        if (SkipReadRequested) SkipReadRequested = SkipActive = read;
        if (FastSkip) FastSkip = SkipActive = read;
    }
    // A choice stops every skip and auto mode.
    void StopAll() { SkipActive = SkipReadRequested = FastSkip = AutoMode = false; }
    // Leaving the story for a menu stops the requested skips and auto mode.
    void StopForMenu() { FastSkip = SkipReadRequested = AutoMode = false; }
    // A new game starts without the held skip or auto mode.
    void StopSkipAndAuto() { SkipActive = AutoMode = false; }
    // A scene replay plays in auto mode, skipping.
    void StartSkipAndAuto() { SkipActive = AutoMode = true; }
    // The script's skippable section: any advance input inside it skips to its end.
    void StartSection(bool on) {
        SkippableSection = on;
        SectionSkipRequested = false;
    }
    void EndSection() { FastSkip = SkippableSection = SectionSkipRequested = false; }
    // The end of a script ends the requested skips and any section.
    void EndScript() { SkipReadRequested = FastSkip = SkippableSection = SectionSkipRequested = false; }
    // Whether held Ctrl counts: not until the first pass has prepared the script.
    void EnableControl(bool on) { ControlSkipEnabled = on; }
};

}  // namespace orva
