// The gamepad core: button names, what buttons stand in for, and pointer motion by the stick.
#include "platform/pad_input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/screen_layout.h"

namespace orva {

std::optional<PadButton> PadButtonByName(std::string_view name) {
    static constexpr std::pair<std::string_view, PadButton> kNames[] = {
        {"a", PadButton::A},
        {"b", PadButton::B},
        {"x", PadButton::X},
        {"y", PadButton::Y},
        {"back", PadButton::Back},
        {"start", PadButton::Start},
        {"leftshoulder", PadButton::LeftShoulder},
        {"rightshoulder", PadButton::RightShoulder},
        {"lefttrigger", PadButton::LeftTrigger},
        {"righttrigger", PadButton::RightTrigger},
        {"dpup", PadButton::DpadUp},
        {"dpdown", PadButton::DpadDown},
        {"dpleft", PadButton::DpadLeft},
        {"dpright", PadButton::DpadRight}};
    for (const auto& [n, b] : kNames)
        if (n == name) return b;
    return std::nullopt;
}

PadEffect PadButtonEffect(PadButton button, bool down) {
    if (button == PadButton::A) return {down ? PadEffect::LeftDown : PadEffect::LeftUp};
    if (!down) return {};
    switch (button) {
        case PadButton::B: return {PadEffect::Action, PadAction::Back};
        case PadButton::Start: return {PadEffect::Action, PadAction::Config};
        case PadButton::DpadUp:
        case PadButton::DpadLeft: return {PadEffect::Action, PadAction::Previous};
        case PadButton::DpadDown:
        case PadButton::DpadRight: return {PadEffect::Action, PadAction::Next};
        default: return {};
    }
}

bool PadInput::SetButton(PadButton button, bool down) {
    bool& held = Buttons[static_cast<size_t>(button)];
    if (held == down) return false;
    held = down;
    return true;
}

bool PadInput::SetAxis(PadAxis axis, int32_t value) {
    value = std::clamp<int32_t>(value, -32768, 32767);
    int32_t& v = Axes[static_cast<size_t>(axis)];
    if (v == value) return false;
    v = value;
    return true;
}

bool PadInput::StickActive() const {
    return std::abs(Axes[0]) > kPadDeadZone || std::abs(Axes[1]) > kPadDeadZone;
}

bool PadInput::KeyHeld(Key key) const {
    switch (key) {
        case Key::Space: return Held(PadButton::Y);
        case Key::PageUp: return Held(PadButton::LeftShoulder);
        case Key::PageDown: return Held(PadButton::RightShoulder);
        case Key::Ctrl: return Held(PadButton::RightTrigger);
        case Key::Backspace: return Held(PadButton::LeftTrigger) || Held(PadButton::Back);
        case Key::F12: return Held(PadButton::X);
        default: return false;
    }
}

namespace {

// Pixels a second for one axis value: nothing inside the dead zone, then rising linearly to
// full speed, so the pointer starts slowly for fine placing.
double AxisSpeed(int32_t value) {
    const double magnitude = std::min(32767, std::abs(value));
    if (magnitude <= kPadDeadZone) return 0;
    const double tilt = (magnitude - kPadDeadZone) / (32767.0 - kPadDeadZone);
    return (value < 0 ? -1 : 1) * tilt * kPadPointerSpeed;
}

int32_t Step(double& carry, double motion) {
    carry += motion;
    const double whole = std::trunc(carry);
    carry -= whole;
    return static_cast<int32_t>(whole);
}

}  // namespace

bool PadInput::MovePointer(Point& pointer, uint32_t ms) {
    const double vx = AxisSpeed(Axes[0]), vy = AxisSpeed(Axes[1]);
    if (vx == 0 && vy == 0) {
        CarryX = CarryY = 0;
        return false;
    }
    // A long gap (a paused program) moves no further than a tenth of a second would.
    const double seconds = std::min<uint32_t>(ms, 100) / 1000.0;
    const Point before = pointer;
    pointer.X = std::clamp(pointer.X + Step(CarryX, vx * seconds), 0, kScreenWidth - 1);
    pointer.Y = std::clamp(pointer.Y + Step(CarryY, vy * seconds), 0, kScreenHeight - 1);
    return pointer != before;
}

void PadInput::Release() {
    Buttons.fill(false);
    Axes.fill(0);
    CarryX = CarryY = 0;
}

}  // namespace orva
