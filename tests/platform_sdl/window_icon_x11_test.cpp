// The program's icon on the real X11 windows (run under Xvfb): every window the SDL platform
// opens carries it as _NET_WM_ICON, the same picture as the installed 64-pixel icon.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/abitmap.h"
#include "graphics/png_load.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/window_icon.h"

// Xlib comes last: its macros (None, Bool, Success …) clash with names in the headers above.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace orva {
namespace {

// The icon a window manager reads: width, height, then ARGB words row after row (empty when
// the window has none).
std::vector<unsigned long> NetWmIcon(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
    Display* display = info.info.x11.display;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    if (XGetWindowProperty(display, info.info.x11.window, icon, 0, 1L << 20, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) != Success ||
        !data)
        return {};
    // Format-32 properties come back as longs, whatever the size of a long.
    const auto* words = reinterpret_cast<const unsigned long*>(data);
    std::vector<unsigned long> out(words, words + count);
    XFree(data);
    return out;
}

TEST(WindowIconX11, EveryWindowCarriesTheInstalledIcon) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (the test runs under xvfb-run)";
    ASSERT_EQ(setenv("SDL_VIDEODRIVER", "x11", 1), 0);

    // The installed 64-pixel icon, as ARGB words.
    std::ifstream file(ORVA_ICON_64, std::ios::binary);
    ASSERT_TRUE(file) << ORVA_ICON_64;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    TABitmap installed;
    bool hasAlpha = false;
    std::string error;
    ASSERT_TRUE(DecodePng(bytes, installed, hasAlpha, error)) << error;
    ASSERT_EQ(installed.Width(), 64);
    ASSERT_EQ(installed.Height(), 64);
    EXPECT_TRUE(hasAlpha) << "the icon's rounded corners are transparent";
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), WindowIconPng().begin(), WindowIconPng().end()))
        << "the program carries the installed icon's picture";

    SdlOptions options;
    options.Title = "orva icon test";
    SdlPlatform platform(options);
    ASSERT_TRUE(platform.Init(error)) << error;
    for (WindowId w : {WindowId::Main, WindowId::Msg, WindowId::Query, WindowId::Debug}) {
        SCOPED_TRACE(static_cast<int>(w));
        const std::vector<unsigned long> icon = NetWmIcon(SDL_GetWindowFromID(platform.SdlWindowId(w)));
        ASSERT_EQ(icon.size(), 2u + 64 * 64) << "a 64 x 64 icon";
        EXPECT_EQ(icon[0], 64u);
        EXPECT_EQ(icon[1], 64u);
        int differing = 0, opaque = 0, clear = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const unsigned long shown = icon[2 + y * 64 + x] & 0xFFFFFFFFul;
                const uint32_t want = installed.Pixels()[y * 64 + x] ^ 0xFF000000u;  // transparency to alpha
                // Fully transparent pixels may lose their colour on the way; their alpha must hold.
                if ((want >> 24) == 0 ? (shown >> 24) != 0 : shown != want) ++differing;
                opaque += (shown >> 24) == 0xFF;
                clear += (shown >> 24) == 0;
            }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(opaque, 64 * 64 / 2) << "the picture itself";
        EXPECT_EQ(icon[2] >> 24, 0u) << "the top-left corner is rounded off";
        EXPECT_GT(clear, 0);
    }
}

}  // namespace
}  // namespace orva
