// A by-hand look at the real windows: opens them on the current display with a test picture
// (colour bars, a frame and a grid), shows the message window and the dialog, waits, closes.
// Usage: orva_sdl_window_check [seconds] [scale] [--full]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics/abitmap.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/screen_layout.h"

namespace {

class Printer : public orva::PlatformEvents {
public:
    bool Closed = false;
    void OnMouseDown(orva::WindowId w, orva::MouseButton b, orva::Point p) override {
        std::printf("down window %d button %d at %d,%d\n", int(w), int(b), p.X, p.Y);
    }
    void OnMouseUp(orva::WindowId w, orva::MouseButton b, orva::Point p) override {
        std::printf("up window %d button %d at %d,%d\n", int(w), int(b), p.X, p.Y);
    }
    void OnMouseWheel(orva::WindowId w, int d) override { std::printf("wheel window %d %+d\n", int(w), d); }
    void OnTextInput(const std::string& s) override { std::printf("text %s\n", s.c_str()); }
    void OnCloseRequest() override { Closed = true; }
};

orva::TABitmap Pattern(int w, int h, uint8_t tint) {
    orva::TABitmap b(w, h);
    const uint8_t bars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    for (int i = 0; i < 8; ++i) b.FillRect(i * w / 8, 0, w / 8 + 1, h, bars[i][0], bars[i][1], bars[i][2]);
    for (int x = 0; x < w; x += 50) b.FillRect(x, 0, 1, h, tint, tint, tint);
    for (int y = 0; y < h; y += 50) b.FillRect(0, y, w, 1, tint, tint, tint);
    b.FillRect(0, 0, w, 2, 255, 128, 0);
    b.FillRect(0, h - 2, w, 2, 255, 128, 0);
    b.FillRect(0, 0, 2, h, 255, 128, 0);
    b.FillRect(w - 2, 0, 2, h, 255, 128, 0);
    // Transparency bytes must not show: mark every pixel fully transparent.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Row(y)[x * 4 + 3] = 255;
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    orva::SdlOptions options;
    options.Scale = argc > 2 ? std::atoi(argv[2]) : 1;
    options.Title = "orva window check";
    const bool full = argc > 3 && std::strcmp(argv[3], "--full") == 0;
    orva::SdlPlatform platform(options);
    std::string error;
    if (!platform.Init(error)) {
        std::fprintf(stderr, "orva_sdl_window_check: %s\n", error.c_str());
        return 2;
    }
    if (full) platform.SetFullScreen(true);
    const orva::TABitmap main = Pattern(orva::kScreenWidth, orva::kScreenHeight, 128), msg = Pattern(orva::kMsgWindowWidth, orva::kMsgWindowHeight, 64), query = Pattern(320, 128, 200);
    platform.PlaceWindow(orva::WindowId::Msg, {0, orva::kMsgWindowTop});
    platform.ShowWindow(orva::WindowId::Msg, true);
    platform.BeginModal(orva::WindowId::Query);
    Printer printer;
    while (platform.Ticks() < static_cast<uint32_t>(seconds) * 1000 && !printer.Closed) {
        platform.PumpMessages(printer);
        platform.Present(orva::WindowId::Main, main);
        platform.Present(orva::WindowId::Msg, msg);
        platform.Present(orva::WindowId::Query, query);
        platform.Sleep(30);
    }
    const orva::Point c = platform.CursorIn(orva::WindowId::Main);
    std::printf("full screen %d, cursor in main %d,%d, foreground %d\n", platform.IsFullScreen() ? 1 : 0, c.X, c.Y,
                int(platform.Foreground()));
    platform.EndModal(orva::WindowId::Query);
    return 0;
}
