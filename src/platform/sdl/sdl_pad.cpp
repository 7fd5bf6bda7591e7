// Game controllers on the SDL platform: controllers are opened as SDL reports them (also those
// present at start) and closed when they go; their buttons and left stick become the engine's
// clicks, keys, pad actions and pointer motion. SDL's own mapping database, extended by
// SDL_GAMECONTROLLERCONFIG, names the buttons.
#include <SDL.h>

#include <algorithm>
#include <iostream>

#include "graphics/abitmap.h"
#include "platform/screen_layout.h"
#include "platform/sdl/sdl_platform.h"

namespace orva {
namespace {

bool ToPadButton(uint8_t sdlButton, PadButton& out) {
    switch (sdlButton) {
        case SDL_CONTROLLER_BUTTON_A: out = PadButton::A; return true;
        case SDL_CONTROLLER_BUTTON_B: out = PadButton::B; return true;
        case SDL_CONTROLLER_BUTTON_X: out = PadButton::X; return true;
        case SDL_CONTROLLER_BUTTON_Y: out = PadButton::Y; return true;
        case SDL_CONTROLLER_BUTTON_BACK: out = PadButton::Back; return true;
        case SDL_CONTROLLER_BUTTON_START: out = PadButton::Start; return true;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: out = PadButton::LeftShoulder; return true;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: out = PadButton::RightShoulder; return true;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: out = PadButton::DpadUp; return true;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: out = PadButton::DpadDown; return true;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: out = PadButton::DpadLeft; return true;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: out = PadButton::DpadRight; return true;
        default: return false;  // guide, stick presses, paddles: unused
    }
}

}  // namespace

void SdlPlatform::StartPads() {
    if (PadsStarted) return;
    // Without the subsystem the game plays on with the mouse and keys.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::cerr << "orva: game controllers are not available: " << SDL_GetError() << "\n";
        return;
    }
    PadsStarted = true;
    // Controllers already attached come as "added" events too; nothing to open here.
}

void SdlPlatform::StopPads() {
    for (auto& [id, pad] : Pads) SDL_GameControllerClose(pad);
    Pads.clear();
    Pad.Release();
    PadSteering = false;
    if (PadsStarted) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    PadsStarted = false;
}

void SdlPlatform::HandlePadEvent(const SDL_Event& ev, PlatformEvents& events) {
    switch (ev.type) {
        case SDL_CONTROLLERDEVICEADDED: {
            // `which` is the device index here; the other events carry the instance id.
            const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(ev.cdevice.which);
            if (id < 0 || Pads.count(id)) return;
            if (SDL_GameController* pad = SDL_GameControllerOpen(ev.cdevice.which)) Pads[id] = pad;
            else std::cerr << "orva: cannot open a game controller: " << SDL_GetError() << "\n";
            return;
        }
        case SDL_CONTROLLERDEVICEREMOVED: {
            const auto it = Pads.find(ev.cdevice.which);
            if (it == Pads.end()) return;
            SDL_GameControllerClose(it->second);
            Pads.erase(it);
            if (!Pads.empty()) return;
            // The last pad went: whatever it held is let go (A's press ends as a release).
            for (int b = 0; b < static_cast<int>(orva::PadButton::Count); ++b)
                PadButton(static_cast<orva::PadButton>(b), false, events);
            Pad.SetAxis(PadAxis::LeftX, 0);
            Pad.SetAxis(PadAxis::LeftY, 0);
            PadSteering = false;
            return;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            orva::PadButton button;
            if (Pads.count(ev.cbutton.which) && ToPadButton(ev.cbutton.button, button))
                PadButton(button, ev.type == SDL_CONTROLLERBUTTONDOWN, events);
            return;
        }
        case SDL_CONTROLLERAXISMOTION: {
            if (!Pads.count(ev.caxis.which)) return;
            const int32_t value = ev.caxis.value;
            switch (ev.caxis.axis) {
                case SDL_CONTROLLER_AXIS_LEFTX: Pad.SetAxis(PadAxis::LeftX, value); break;
                case SDL_CONTROLLER_AXIS_LEFTY: Pad.SetAxis(PadAxis::LeftY, value); break;
                case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
                    PadButton(orva::PadButton::LeftTrigger, value >= kPadTriggerPressed, events);
                    break;
                case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
                    PadButton(orva::PadButton::RightTrigger, value >= kPadTriggerPressed, events);
                    break;
                default: break;
            }
            return;
        }
        default: return;
    }
}

void SdlPlatform::PadButton(orva::PadButton button, bool down, PlatformEvents& events) {
    if (!Pad.SetButton(button, down)) return;
    if (down && !Pad.Used()) {
        // The first use parks the pointer at the scene's centre, over no button.
        Pad.MarkUsed();
        WarpPointer(WindowId::Main, kPadParkPoint);
    }
    const PadEffect effect = PadButtonEffect(button, down);
    if (effect.What == PadEffect::Action) {
        events.OnPadAction(effect.Act);
        return;
    }
    if (effect.What == PadEffect::None) return;
    // A is the left button at the pointer, in whichever window lies under it.
    WindowId w = WindowId::Main;
    if (SDL_Window* under = SDL_GetMouseFocus()) w = FromSdlWindowId(SDL_GetWindowID(under));
    if (w == WindowId::None) w = WindowId::Main;
    if (ModalOpen && w != ModalWindow) return;
    const Point p = CursorIn(w);
    if (effect.What == PadEffect::LeftDown) events.OnMouseDown(w, MouseButton::Left, p);
    else events.OnMouseUp(w, MouseButton::Left, p);
}

void SdlPlatform::MovePadPointer() {
    const uint64_t now = SDL_GetTicks64();
    if (!Pad.StickActive()) {
        PadSteering = false;
        PadMovedAt = now;
        return;
    }
    if (!PadSteering) {
        // The stick takes the pointer from wherever the mouse left it.
        PadSteering = true;
        if (!Pad.Used()) {
            Pad.MarkUsed();
            PadPointer = kPadParkPoint;
        } else {
            PadPointer = CursorIn(WindowId::Main);
            PadPointer.X = std::clamp(PadPointer.X, 0, kScreenWidth - 1);
            PadPointer.Y = std::clamp(PadPointer.Y, 0, kScreenHeight - 1);
        }
        WarpPointer(WindowId::Main, PadPointer);
        PadMovedAt = now;
        return;
    }
    const auto ms = static_cast<uint32_t>(std::min<uint64_t>(now - PadMovedAt, 1000));
    PadMovedAt = now;
    if (Pad.MovePointer(PadPointer, ms)) WarpPointer(WindowId::Main, PadPointer);
}

void SdlPlatform::WarpPointer(WindowId window, Point client) {
    Surface* s = Find(window);
    if (!s) return;
    if (window == WindowId::Main) PadPointer = client;
    // The middle of the window pixels that show the logical pixel.
    const ViewFit fit = WindowFit(*s);
    const Point at = LogicalToWindow(fit, client);
    const int half = static_cast<int>(fit.Scale / 2);
    SDL_WarpMouseInWindow(s->Window, at.X + half, at.Y + half);
}

bool SdlPlatform::PresentedPicture(WindowId window, TABitmap& out) {
    const Surface* s = Find(window);
    if (!s || s->HeldW <= 0 || s->HeldH <= 0) return false;
    out.SetSize32(s->HeldW, s->HeldH);
    std::copy(s->Held.begin(), s->Held.end(), out.Pixels());
    return true;
}

}  // namespace orva
