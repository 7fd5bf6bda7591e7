// A gamepad as the engine sees it: the buttons held, the left stick, and how they stand in for
// the keyboard and the mouse. Both backends feed it (SDL's game controller, the headless
// timeline's pad verbs) and turn its answers into platform events; it knows nothing of either.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace orva {

// The buttons of the standard (Xbox-style) layout the engine uses; the triggers count as
// buttons once pressed past half their travel.
enum class PadButton : uint8_t {
    A, B, X, Y, Back, Start, LeftShoulder, RightShoulder, LeftTrigger, RightTrigger,
    DpadUp, DpadDown, DpadLeft, DpadRight, Count
};
enum class PadAxis : uint8_t { LeftX, LeftY };

inline constexpr int32_t kPadDeadZone = 8000;          // stick values nearer 0 than this are rest
inline constexpr int32_t kPadTriggerPressed = 16384;   // half a trigger's travel (0..32767)
inline constexpr double kPadPointerSpeed = 800.0;      // logical pixels a second at full tilt
inline constexpr Point kPadParkPoint{400, 300};        // the scene's centre, over no button

// The timeline's names: a b x y back start leftshoulder rightshoulder lefttrigger righttrigger
// dpup dpdown dpleft dpright.
std::optional<PadButton> PadButtonByName(std::string_view name);

// What pressing or releasing a button does besides holding a key.
struct PadEffect {
    enum Kind : uint8_t { None, LeftDown, LeftUp, Action } What = None;
    PadAction Act = PadAction::Back;  // for Action
};
// A press and release are a left click at the pointer; B, start and the d-pad's presses are
// the engine's pad actions (up and left step back, down and right forward).
PadEffect PadButtonEffect(PadButton button, bool down);

class PadInput {
public:
    // Sets a button's state; true when it changed.
    bool SetButton(PadButton button, bool down);
    // Sets a stick axis (−32768..32767); true when it changed.
    bool SetAxis(PadAxis axis, int32_t value);
    bool Held(PadButton button) const { return Buttons[static_cast<size_t>(button)]; }
    int32_t Axis(PadAxis axis) const { return Axes[static_cast<size_t>(axis)]; }
    // Whether the stick is out of its dead zone.
    bool StickActive() const;
    // Whether the pad holds a key it stands in for: Y Space, the shoulders Page Up and Page
    // Down, the right trigger Ctrl, the left trigger and back Backspace, X F12.
    bool KeyHeld(Key key) const;
    // Moves a pointer (logical main-window pixels) by the stick over `ms` milliseconds, kept
    // inside the 800×600 client area; fractions of a pixel are carried to the next call.
    // Returns whether the pointer moved.
    bool MovePointer(Point& pointer, uint32_t ms);
    // The first use parks the pointer; true once that has happened.
    bool Used() const { return WasUsed; }
    void MarkUsed() { WasUsed = true; }
    // Everything released and at rest (the pad went away).
    void Release();

private:
    std::array<bool, static_cast<size_t>(PadButton::Count)> Buttons{};
    std::array<int32_t, 2> Axes{};
    double CarryX = 0, CarryY = 0;   // sub-pixel motion not yet applied
    bool WasUsed = false;
};

}  // namespace orva
