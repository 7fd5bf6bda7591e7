// The program's icon on its windows (title bar, task bar, window switcher): the application
// icon drawn at 64 pixels by the build and carried inside the program, so it shows whatever
// the install prefix.
#pragma once

#include <cstdint>
#include <span>

struct SDL_Window;

namespace orva {

// The icon's PNG bytes, as built into the program.
std::span<const uint8_t> WindowIconPng();

// Gives the window the program's icon. An icon that cannot be decoded leaves the window with
// the desktop's default one and says so on stderr; the window works either way.
void SetProgramIcon(SDL_Window* window);

}  // namespace orva
