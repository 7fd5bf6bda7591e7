// Test fixture: a virtual game controller on SDL's virtual joystick driver, so the pad's whole
// path runs without hardware. The standard layout's buttons and axes sit on joystick buttons
// 0..14 and axes 0..5, named by a mapping given the way a player would, in
// SDL_GAMECONTROLLERCONFIG (read when the platform starts SDL's controller subsystem).
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace orva::test {

class VirtualPad {
public:
    // Joystick buttons of the mapping below.
    static constexpr int kA = 0, kB = 1, kX = 2, kY = 3, kBack = 4, kStart = 6, kLeftShoulder = 9,
                         kRightShoulder = 10, kUp = 11, kDown = 12, kLeft = 13, kRight = 14;
    static constexpr int kLeftX = 0, kLeftY = 1, kLeftTrigger = 4, kRightTrigger = 5;

    // Attaches a pad before the platform starts and gives SDL its mapping.
    void AttachFirst() {
        // The dummy driver's windows never take the focus; without this SDL drops pad events.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        const int index = Attach();
        ASSERT_GE(index, 0) << SDL_GetError();
        char guid[64];
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
        const std::string mapping = std::string(guid) +
                                    ",orva test pad,a:b0,b:b1,x:b2,y:b3,back:b4,start:b6,leftshoulder:b9,"
                                    "rightshoulder:b10,dpup:b11,dpdown:b12,dpleft:b13,dpright:b14,leftx:a0,"
                                    "lefty:a1,lefttrigger:a4,righttrigger:a5,";
        setenv("SDL_GAMECONTROLLERCONFIG", mapping.c_str(), 1);
    }
    void DetachAll() {
        if (Stick) SDL_JoystickClose(Stick);
        Stick = nullptr;
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i)
            if (SDL_JoystickIsVirtual(i)) SDL_JoystickDetachVirtual(i);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        unsetenv("SDL_GAMECONTROLLERCONFIG");
    }
    // Plugs a pad in (the device index, or −1).
    static int Attach() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 6;
        desc.nbuttons = 15;
        desc.name = "orva test pad";
        return SDL_JoystickAttachVirtualEx(&desc);
    }
    // Unplugs the pad opened last.
    void Unplug() {
        SDL_JoystickClose(Stick);
        Stick = nullptr;
        ASSERT_EQ(SDL_JoystickDetachVirtual(SDL_NumJoysticks() - 1), 0) << SDL_GetError();
    }
    // Opens the pad attached last for setting its state.
    void Open() {
        if (Stick) SDL_JoystickClose(Stick);
        Stick = SDL_JoystickOpen(SDL_NumJoysticks() - 1);
        ASSERT_NE(Stick, nullptr) << SDL_GetError();
        // The triggers' axes run from −32768 at rest to 32767 pressed home.
        Tilt(kLeftTrigger, -32768);
        Tilt(kRightTrigger, -32768);
    }
    void Press(int button, bool down) { SDL_JoystickSetVirtualButton(Stick, button, down ? 1 : 0); }
    void Tilt(int axis, int16_t value) { SDL_JoystickSetVirtualAxis(Stick, axis, value); }

    SDL_Joystick* Stick = nullptr;
};

}  // namespace orva::test
