// The program's icon on its windows, decoded from the PNG the build embeds.
#include "platform/sdl/window_icon.h"

#include <SDL.h>

#include <cstddef>
#include <iostream>
#include <string>

#include "graphics/abitmap.h"
#include "graphics/png_load.h"

namespace orva {

// Written by the build from the application icon (window_icon_png.cpp in the build tree).
extern const uint8_t kWindowIconPng[];
extern const size_t kWindowIconPngSize;

std::span<const uint8_t> WindowIconPng() { return {kWindowIconPng, kWindowIconPngSize}; }

void SetProgramIcon(SDL_Window* window) {
    TABitmap picture;
    bool hasAlpha = false;
    std::string error;
    if (!DecodePng(WindowIconPng(), picture, hasAlpha, error)) {
        std::cerr << "orva: the window icon cannot be decoded: " << error << "\n";
        return;
    }
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormat(0, picture.Width(), picture.Height(), 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) {
        std::cerr << "orva: no window icon: " << SDL_GetError() << "\n";
        return;
    }
    // The engine keeps transparency (255 = invisible) where SDL keeps alpha (255 = opaque).
    for (int y = 0; y < picture.Height(); ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(picture.Row(y));
        auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(icon->pixels) + static_cast<size_t>(y) * icon->pitch);
        for (int x = 0; x < picture.Width(); ++x) to[x] = from[x] ^ 0xFF000000u;
    }
    // SDL keeps its own copy of the picture.
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace orva
